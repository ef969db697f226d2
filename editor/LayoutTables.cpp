// Where every control of the two views stands. Coordinates are pixels from the window's
// top-left corner; rectangles are left, top, right, bottom (right and bottom exclusive).
#include "editor/Layout.h"

#include <cstdlib>

#include "editor/PanelCommands.h"
#include "engine/ParamIndex.h"

namespace panel {
namespace {

// The art enum follows the resources' table, 101 to 125.
static_assert(resources::kImageCount == static_cast<std::size_t>(Art::kCount));
static_assert(resources::kImages[static_cast<int>(Art::kSwitch5)].id == 125);

// Shorthands for the tables.
constexpr Place Bitmap(Kind kind, int number, int x, int y, Art art) { return {kind, number, x, y, 0, 0, art}; }
constexpr Place Boxed(Kind kind, int number, int l, int t, int r, int b, Art art = Art::kNone) {
  return {kind, number, l, t, r, b, art};
}
constexpr Place Button(int command, int x, int y, Art unlit, Art lit, int count = 1, int dx = 0) {
  return {Kind::kButton, -command, x, y, 0, 0, unlit, lit, 4.0, count, dx, 0};
}
constexpr Place Knob(int param, int x, int y, Art art, double gearing = 4.0, int count = 1, int dx = 0) {
  return {Kind::kKnob, param, x, y, 0, 0, art, Art::kNone, gearing, count, dx, 0};
}
constexpr Place Faders(int firstParam, int count, int x, int y) {
  return {Kind::kFader, firstParam, x, y, 0, 0, Art::kHandle, Art::kLever, 4.0, count, 56, 0};
}
constexpr Place Rows(Kind kind, int firstCommand, int count, int x, int y) {
  return {kind, -firstCommand, x, y, x + 199, y + 16, Art::kNone, Art::kNone, 4.0, count, 0, 17};
}

constexpr Place kBoth[] = {
    Boxed(Kind::kHotSpot, -kViewSwitch, 9, 1, 25, 27),
};

constexpr Place kMain[] = {
    Bitmap(Kind::kBackground, -kMainBackground, 0, 0, Art::kBack),
    Boxed(Kind::kVersionText, -kVersionText, 22, 107, 150, 119),
    Boxed(Kind::kPresetName, -kPresetName, 279, 71, 593, 91),
    Boxed(Kind::kNumberDisplay, -kProgramDisplay, 47, 139, 119, 183, Art::kDigits),
    Boxed(Kind::kNumberDisplay, -kParameterDisplay, 165, 139, 237, 183, Art::kDigits),
    Boxed(Kind::kNumberDisplay, -kValueDisplay, 165, 207, 237, 251, Art::kDigitsGreen),
    Bitmap(Kind::kOptionMenu, -kUtilityMenu, 30, 223, Art::kMenu),
    Bitmap(Kind::kLamp, -kEditLed, 65, 304, Art::kLedFlat),
    Button(kDown, 32, 348, Art::kButton, Art::kButton),
    Button(kUp, 76, 348, Art::kButton, Art::kButton),
    Button(kProgramMode, 171, 348, Art::kButtonLedOff, Art::kButtonLedOn),
    Button(kParameterMode, 215, 348, Art::kButtonLedOff, Art::kButtonLedOn),
    Button(kFirstKey, 70, 490, Art::kButton, Art::kButton, 8, 44),
    Bitmap(Kind::kPresetMenu, -kBrowse, 465, 490, Art::kButton),
    Button(kLearn, 509, 490, Art::kButtonLedOff, Art::kButtonLedOn),
    Bitmap(Kind::kLamp, -kLearnLabel, 508, 534, Art::kLearn),
    Button(kHold, 652, 490, Art::kButtonLedOff, Art::kButtonLedOn, 4, 44),  // HOLD, CHORD, POLY, UNISON
    Knob(kVolume, 614, 49, Art::kKnob),
    Knob(kTune, 670, 49, Art::kKnob),
    Knob(kBend, 739, 49, Art::kKnob),
    Boxed(Kind::kTextToggle, kWheelDestination, 788, 36, 841, 48),
    Knob(kWheelFrequency, 795, 49, Art::kKnob),
    Knob(kEffectsMode, 876, 49, Art::kSwitch4, 1.0),
    Knob(kEffectsSpeed, 952, 49, Art::kKnob),
    Boxed(Kind::kVoices, kVoices, 884, 487, 953, 525, Art::kDigitsSmall),
    Knob(kSpread, 963, 490, Art::kKnob),
    // The parameter matrix: columns 56 apart, each group of the hardware's rows starting two
    // pixels further right than the spacing alone would put it.
    Faders(kDco1Octave, 4, 280, 172),
    Faders(kDco2Octave, 4, 506, 172),
    Faders(kVcfCutoff, 5, 732, 172),
    Faders(kEg1Attack, 4, 280, 340),
    Faders(kVcaEgMode, 5, 506, 340),
    Faders(kMgFrequency, 4, 788, 340),
};

constexpr Place kAlt[] = {
    Bitmap(Kind::kBackground, -kAltBackground, 0, 0, Art::kBack2),
    Boxed(Kind::kVersionText, -kVersionText, 711, 534, 839, 546),
    Boxed(Kind::kPresetName, -kPresetName, 494, 221, 694, 239),
    Boxed(Kind::kHotSpot, -kDown, 566, 248, 586, 299),
    Boxed(Kind::kNumberDisplay, -kProgramDisplay, 594, 251, 666, 295, Art::kDigits),
    Boxed(Kind::kHotSpot, -kUp, 675, 248, 695, 299),
    Boxed(Kind::kOptionMenu, -kUtilityMenu, 494, 253, 548, 269),
    Bitmap(Kind::kLamp, -kLearnLabel, 497, 286, Art::kLearn2),
    Boxed(Kind::kHotSpot, -kLearn, 494, 283, 548, 299),  // over the label, taking its clicks
    Button(kHold, 172, 242, Art::kButton2WhiteOff, Art::kButton2WhiteOn),
    Button(kChord, 208, 242, Art::kButton2Off, Art::kButton2On, 3, 36),  // CHORD, POLY, UNISON
    Boxed(Kind::kVoices, kVoices, 327, 243, 396, 281, Art::kDigitsSmall),
    Knob(kSpread, 419, 242, Art::kKnob),
    Button(kFirstKey, 722, 242, Art::kButton2WhiteOff, Art::kButton2WhiteOn, 8, 36),
    Knob(kVolume, 26, 30, Art::kKnobGray, 4.0, 2, 64),  // and Tune
    Knob(kBend, 26, 134, Art::kKnobGray),
    Boxed(Kind::kTextToggle, kWheelDestination, 83, 112, 136, 124),
    Knob(kWheelFrequency, 90, 134, Art::kKnobGray),
    Knob(kEffectsMode, 26, 242, Art::kSwitch4, 1.0),
    Knob(kEffectsSpeed, 90, 242, Art::kKnob),
    Knob(kDco1Octave, 171, 30, Art::kSwitch3, 1.0, 2, 64),   // and Waveform
    Knob(kDco1PulseWidth, 299, 30, Art::kKnob, 4.0, 2, 64),  // and PWM Frequency
    Knob(kDco2Octave, 171, 134, Art::kSwitch3, 1.0, 2, 64),  // and Waveform
    Knob(kDco2Interval, 299, 134, Art::kSwitch5, 1.0),
    Knob(kDco2Detune, 363, 134, Art::kKnob),
    // VCF: cutoff, resonance, EG intensity, keyboard tracking, from left to right.
    Knob(kVcfCutoff, 443, 30, Art::kKnob, 4.0, 2, 64),  // and Resonance
    Knob(kVcfEgIntensity, 571, 30, Art::kKnob),
    Knob(kVcfKbdTrack, 635, 30, Art::kKnob),
    Bitmap(Kind::kSwitch, kVcfType, 718, 40, Art::kSwitch2),
    Knob(kEg1Attack, 775, 30, Art::kKnob, 4.0, 4, 64),     // EG1
    Knob(kMgFrequency, 443, 134, Art::kKnob, 4.0, 4, 64),  // MG
    Bitmap(Kind::kSwitch, kVcaEgMode, 703, 144, Art::kSwitch2),
    Knob(kEg2Attack, 775, 134, Art::kKnob, 4.0, 4, 64),  // EG2
    Button(kFactorySource, 700, 341, Art::kButton2Off, Art::kButton2On),
    Button(kFileSource, 744, 341, Art::kButton2Off, Art::kButton2On),
    Button(kCurrentBankSource, 722, 410, Art::kButton2Off, Art::kButton2On),
    Bitmap(Kind::kSwitch, -kClickMode, 727, 472, Art::kSwitch2),
    Boxed(Kind::kFileScroll, -kFileScroll, 993, 342, 1009, 512),
    Boxed(Kind::kProgramScroll, -kProgramScroll, 652, 342, 668, 563),
    Rows(Kind::kFileRow, kFirstFileRow, 10, 785, 342),
    // Program rows, added column by column: entry 13c + r at column c, row r.
    Rows(Kind::kProgramRow, kFirstProgramRow, 13, 28, 342),
    Rows(Kind::kProgramRow, kFirstProgramRow + 13, 13, 236, 342),
    Rows(Kind::kProgramRow, kFirstProgramRow + 26, 13, 444, 342),
};

bool InRange(int key, int low, int high) { return key >= low && key <= high; }

}  // namespace

std::span<const ArtResource> ArtResources() { return resources::kImages; }

int NumberOf(const Place& place, int i) { return place.number < 0 ? place.number - i : place.number + i; }

Box BoxOf(const Place& place, int i) {
  const int x = place.x + i * place.dx;
  const int y = place.y + i * place.dy;
  if (place.right != 0 || place.bottom != 0) {
    return {x, y, place.right + i * place.dx, place.bottom + i * place.dy};
  }
  if (place.art == Art::kNone) return {x, y, x, y};
  const ArtResource& art = resources::kImages[static_cast<std::size_t>(place.art)];
  // A fader stands as wide as its handle and as long as its travel.
  const int height = place.kind == Kind::kFader ? kFaderLength : art.height / art.frames;
  return {x, y, x + art.width, y + height};
}

bool FindBox(View view, int number, Box* box) {
  const std::span<const Place> places = view == View::kMain  ? MainViewPlaces()
                                        : view == View::kAlt ? AltViewPlaces()
                                                             : BothViewPlaces();
  for (const Place& place : places) {
    for (int i = 0; i < place.count; ++i) {
      if (NumberOf(place, i) != number) continue;
      *box = BoxOf(place, i);
      return true;
    }
  }
  return false;
}
std::span<const Place> MainViewPlaces() { return kMain; }
std::span<const Place> AltViewPlaces() { return kAlt; }
std::span<const Place> BothViewPlaces() { return kBoth; }

int RegistryKey(View view, int number) {
  const int n = std::abs(number);
  switch (view) {
    case View::kMain: return n;
    case View::kAlt:
      // The browser and the alternative background have no main-view twin to tell apart.
      return InRange(n, kFileSource, kFirstProgramRow + 38) || n == kAltBackground ? n : n + kAltViewKeyOffset;
    default: return -1;
  }
}

bool KeyShownIn(int key, bool altView) {
  const auto mainKey = [](int k) { return k == kMainBackground || InRange(k, 0, 43) || InRange(k, 111, 137); };
  if (mainKey(key)) return !altView;
  if (key == kAltBackground || (key >= kAltViewKeyOffset && mainKey(key - kAltViewKeyOffset))) return altView;
  if (InRange(key, kFileSource, kFirstProgramRow + 38)) return altView;
  return true;
}

}  // namespace panel
