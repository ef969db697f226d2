// Where the editor places its controls in the two 1032 x 588 views. The panels print their
// legends around these places and the preview puts the control bitmaps on them, so the two
// always agree. Rectangles are left, top, right, bottom with right and bottom exclusive.
#pragma once

namespace artwork::layout {

struct Point {
  int x = 0, y = 0;
};
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

inline constexpr int kWidth = 1032;
inline constexpr int kHeight = 588;
inline constexpr Box kViewSwitch{9, 1, 25, 27};

// Knob and rotary-switch frames are 40 x 40, push buttons 40 x 36, small buttons 24 x 40,
// slide switches 14 x 20.
inline constexpr int kKnobSize = 40;

namespace main_view {
inline constexpr Box kVersion{22, 107, 150, 119};
inline constexpr Box kPresetName{279, 71, 593, 91};
inline constexpr Box kProgramDisplay{47, 139, 119, 183};
inline constexpr Box kParameterDisplay{165, 139, 237, 183};
inline constexpr Box kValueDisplay{165, 207, 237, 251};
inline constexpr Point kMenu{30, 223};
inline constexpr Point kEditLed{65, 304};
inline constexpr Point kDown{32, 348};
inline constexpr Point kUp{76, 348};
inline constexpr Point kProgram{171, 348};
inline constexpr Point kParameter{215, 348};
constexpr Point Key(int n) { return {70 + 44 * (n - 1), 490}; }  // n = 1..8
inline constexpr Point kBrowse{465, 490};
inline constexpr Point kLearn{509, 490};
inline constexpr Point kLearnLabel{508, 534};
inline constexpr Point kHold{652, 490};
inline constexpr Point kChord{696, 490};
inline constexpr Point kPoly{740, 490};
inline constexpr Point kUnison{784, 490};
inline constexpr Point kVolume{614, 49};
inline constexpr Point kTune{670, 49};
inline constexpr Point kBend{739, 49};
inline constexpr Box kWheelDestination{788, 36, 841, 48};
inline constexpr Point kWheelFrequency{795, 49};
inline constexpr Point kEffectsMode{876, 49};
inline constexpr Point kEffectsSpeed{952, 49};
inline constexpr Box kVoices{884, 487, 953, 525};
inline constexpr Point kSpread{963, 490};

// The faders of the sound parameters 8 to 33: 54 x 92 each, in two rows of three groups.
inline constexpr int kFaderWidth = 54;
inline constexpr int kFaderHeight = 92;
constexpr Point Fader(int parameter) {
  constexpr int kRow1[13] = {280, 336, 392, 448, 506, 562, 618, 674, 732, 788, 844, 900, 956};
  constexpr int kRow2[13] = {280, 336, 392, 448, 506, 562, 618, 674, 730, 788, 844, 900, 956};
  return parameter <= 20 ? Point{kRow1[parameter - 8], 172} : Point{kRow2[parameter - 21], 340};
}
}  // namespace main_view

namespace alt_view {
inline constexpr Box kVersion{711, 534, 839, 546};
inline constexpr Box kPresetName{494, 221, 694, 239};
inline constexpr Box kLeftArrow{566, 248, 586, 299};
inline constexpr Box kProgramDisplay{594, 251, 666, 295};
inline constexpr Box kRightArrow{675, 248, 695, 299};
inline constexpr Box kMenu{494, 253, 548, 269};
inline constexpr Point kLearnLabel{497, 286};
inline constexpr Box kLearn{494, 283, 548, 299};
inline constexpr Point kHold{172, 242};
inline constexpr Point kChord{208, 242};
inline constexpr Point kPoly{244, 242};
inline constexpr Point kUnison{280, 242};
inline constexpr Box kVoices{327, 243, 396, 281};
inline constexpr Point kSpread{419, 242};
constexpr Point Key(int n) { return {722 + 36 * (n - 1), 242}; }  // n = 1..8
inline constexpr Point kVolume{26, 30};
inline constexpr Point kTune{90, 30};
inline constexpr Point kBend{26, 134};
inline constexpr Box kWheelDestination{83, 112, 136, 124};
inline constexpr Point kWheelFrequency{90, 134};
inline constexpr Point kEffectsMode{26, 242};
inline constexpr Point kEffectsSpeed{90, 242};
inline constexpr Point kVcfType{718, 40};
inline constexpr Point kVcaMode{703, 144};

// The knob or rotary switch of sound parameter 8 to 33 (not 20 and 25, the slide switches).
constexpr Point Knob(int parameter) {
  switch (parameter) {
    case 8: return {171, 30};
    case 9: return {235, 30};
    case 10: return {299, 30};
    case 11: return {363, 30};
    case 12: return {171, 134};
    case 13: return {235, 134};
    case 14: return {299, 134};
    case 15: return {363, 134};
    case 16: return {443, 30};
    case 17: return {507, 30};
    case 19: return {571, 30};
    case 18: return {635, 30};
    default: break;
  }
  if (parameter >= 21 && parameter <= 24) return {775 + 64 * (parameter - 21), 30};
  if (parameter >= 26 && parameter <= 29) return {775 + 64 * (parameter - 26), 134};
  if (parameter >= 30 && parameter <= 33) return {443 + 64 * (parameter - 30), 134};
  return {};
}

// The program browser.
inline constexpr Point kFactory{700, 341};
inline constexpr Point kFile{744, 341};
inline constexpr Point kCurrentBank{722, 410};
inline constexpr Point kClickMode{727, 472};
inline constexpr Box kFileScroll{993, 342, 1009, 512};
inline constexpr Box kProgramScroll{652, 342, 668, 563};
inline constexpr int kRowHeight = 17;
constexpr Box FileRow(int r) { return {785, 342 + 17 * r, 984, 358 + 17 * r}; }  // r = 0..9
constexpr Box ProgramRow(int column, int r) {  // column 0..2, r = 0..12
  return {28 + 208 * column, 342 + 17 * r, 227 + 208 * column, 358 + 17 * r};
}
}  // namespace alt_view

}  // namespace artwork::layout
