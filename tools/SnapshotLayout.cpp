// The editor's control places, view by view, in the order the editor adds its controls.
#include "tools/SnapshotLayout.h"

#include "resources/Images.h"

namespace snapshot {
namespace {

using resources::ImageId;

struct Builder {
  std::vector<Control> controls;
  View view = View::kMain;

  void Add(Kind kind, int key, LICE_Rect place, int image = 0, int parameter = -1, double value = 0.0) {
    controls.push_back({view, kind, key, place, image, parameter, value});
  }
  void At(Kind kind, int key, int x, int y, int image, int parameter = -1) {
    Add(kind, key, {x, y, 0, 0}, image, parameter);
  }
  void Knob(int parameter, int x, int y, int image) { At(Kind::kKnob, parameter, x, y, image, parameter); }
  void Switch(int parameter, int x, int y, int image) { At(Kind::kSwitch, parameter, x, y, image, parameter); }
};

void AddMainView(Builder& b) {
  b.view = View::kMain;
  b.At(Kind::kBackground, 107, 0, 0, resources::kBackImage);
  b.Add(Kind::kHotSpot, 109, {9, 1, 25, 27});  // the view switch, in both views
  b.Add(Kind::kProgramName, 114, {279, 71, 593, 91});
  b.Add(Kind::kProgramDisplay, 115, {47, 139, 119, 183}, resources::kDigitsImage);
  b.Add(Kind::kBlankDisplay, 116, {165, 139, 237, 183}, resources::kDigitsImage);
  b.Add(Kind::kBlankDisplay, 117, {165, 207, 237, 251}, resources::kDigitsGreenImage);
  b.At(Kind::kMenu, 112, 30, 223, resources::kMenuImage);
  b.At(Kind::kLamp, 118, 65, 304, resources::kLedFlatImage);
  b.At(Kind::kButton, 122, 32, 348, resources::kButtonImage);             // DOWN
  b.At(Kind::kButton, 123, 76, 348, resources::kButtonImage);             // UP
  b.At(Kind::kButton, 124, 171, 348, resources::kButtonLedOffImage);      // PROGRAM
  b.At(Kind::kButton, 125, 215, 348, resources::kButtonLedOffImage);      // PARAMETER
  for (int n = 1; n <= 8; ++n) b.At(Kind::kButton, 125 + n, 70 + 44 * (n - 1), 490, resources::kButtonImage);
  b.At(Kind::kButton, 113, 465, 490, resources::kButtonImage);            // BROWSE
  b.At(Kind::kButton, 119, 509, 490, resources::kButtonLedOffImage);      // LEARN
  b.At(Kind::kLamp, 120, 508, 534, resources::kLearnImage);
  const int modeX[] = {652, 696, 740, 784};                                // HOLD, CHORD, POLY, UNISON
  for (int i = 0; i < 4; ++i) b.At(Kind::kButton, 134 + i, modeX[i], 490, resources::kButtonLedOffImage);
  b.Knob(0, 614, 49, resources::kKnobImage);
  b.Knob(1, 670, 49, resources::kKnobImage);
  b.Knob(2, 739, 49, resources::kKnobImage);
  b.Add(Kind::kTextToggle, 4, {788, 36, 841, 48}, 0, 4);
  b.Knob(3, 795, 49, resources::kKnobImage);
  b.Switch(34, 876, 49, resources::kSwitch4Image);
  b.Knob(35, 952, 49, resources::kKnobImage);
  b.Add(Kind::kVoicesDisplay, 6, {884, 487, 953, 525}, resources::kDigitsSmallImage, 6);
  b.Knob(7, 963, 490, resources::kKnobImage);
  // The sound parameters' faders, 54 x 92, in two rows of three groups.
  const int row1[13] = {280, 336, 392, 448, 506, 562, 618, 674, 732, 788, 844, 900, 956};
  const int row2[13] = {280, 336, 392, 448, 506, 562, 618, 674, 730, 788, 844, 900, 956};
  for (int p = 8; p <= 33; ++p) {
    const int x = p <= 20 ? row1[p - 8] : row2[p - 21];
    const int y = p <= 20 ? 172 : 340;
    b.Add(Kind::kFader, p, {x, y, x + 54, y + 92}, resources::kHandleImage, p);
  }
}

void AddAltView(Builder& b) {
  b.view = View::kAlt;
  constexpr int kAlt = 138;  // the registry's offset for alternative-view keys
  b.At(Kind::kBackground, 108, 0, 0, resources::kBack2Image);
  b.Add(Kind::kHotSpot, 109, {9, 1, 25, 27});
  b.Add(Kind::kProgramName, 114 + kAlt, {494, 221, 694, 239});
  b.Add(Kind::kHotSpot, 122 + kAlt, {566, 248, 586, 299});  // left arrow: DOWN
  b.Add(Kind::kProgramDisplay, 115 + kAlt, {594, 251, 666, 295}, resources::kDigitsImage);
  b.Add(Kind::kHotSpot, 123 + kAlt, {675, 248, 695, 299});  // right arrow: UP
  b.Add(Kind::kHotSpot, 112 + kAlt, {494, 253, 548, 269});  // MENU, printed on the panel
  b.At(Kind::kLamp, 120 + kAlt, 497, 286, resources::kLearn2Image);
  b.Add(Kind::kHotSpot, 119 + kAlt, {494, 283, 548, 299});  // LEARN
  b.At(Kind::kButton, 134 + kAlt, 172, 242, resources::kButton2WhiteOffImage);  // HOLD
  const int modeX[] = {208, 244, 280};                                         // CHORD, POLY, UNISON
  for (int i = 0; i < 3; ++i) b.At(Kind::kButton, 135 + i + kAlt, modeX[i], 242, resources::kButton2OffImage);
  b.Add(Kind::kVoicesDisplay, 6 + kAlt, {327, 243, 396, 281}, resources::kDigitsSmallImage, 6);
  b.Knob(7, 419, 242, resources::kKnobImage);
  for (int n = 1; n <= 8; ++n) {
    b.At(Kind::kButton, 125 + n + kAlt, 722 + 36 * (n - 1), 242, resources::kButton2WhiteOffImage);
  }
  b.Knob(0, 26, 30, resources::kKnobGrayImage);
  b.Knob(1, 90, 30, resources::kKnobGrayImage);
  b.Knob(2, 26, 134, resources::kKnobGrayImage);
  b.Add(Kind::kTextToggle, 4 + kAlt, {83, 112, 136, 124}, 0, 4);
  b.Knob(3, 90, 134, resources::kKnobGrayImage);
  b.Switch(34, 26, 242, resources::kSwitch4Image);
  b.Knob(35, 90, 242, resources::kKnobImage);
  b.Switch(8, 171, 30, resources::kSwitch3Image);
  b.Switch(9, 235, 30, resources::kSwitch3Image);
  b.Knob(10, 299, 30, resources::kKnobImage);
  b.Knob(11, 363, 30, resources::kKnobImage);
  b.Switch(12, 171, 134, resources::kSwitch3Image);
  b.Switch(13, 235, 134, resources::kSwitch3Image);
  b.Switch(14, 299, 134, resources::kSwitch5Image);
  b.Knob(15, 363, 134, resources::kKnobImage);
  // The filter's four knobs: EG intensity (19) lies left of keyboard tracking (18).
  const int filterParams[] = {16, 17, 19, 18};
  for (int i = 0; i < 4; ++i) b.Knob(filterParams[i], 443 + 64 * i, 30, resources::kKnobImage);
  b.Switch(20, 718, 40, resources::kSwitch2Image);
  for (int i = 0; i < 4; ++i) b.Knob(21 + i, 775 + 64 * i, 30, resources::kKnobImage);  // EG1
  for (int i = 0; i < 4; ++i) b.Knob(30 + i, 443 + 64 * i, 134, resources::kKnobImage);  // MG
  b.Switch(25, 703, 144, resources::kSwitch2Image);
  for (int i = 0; i < 4; ++i) b.Knob(26 + i, 775 + 64 * i, 134, resources::kKnobImage);  // EG2
  // The program browser: sources FACTORY, FILE and CURRENT BANK, and the click mode (SELECT).
  b.At(Kind::kButton, 54, 700, 341, resources::kButton2OffImage);
  b.At(Kind::kButton, 52, 744, 341, resources::kButton2OffImage);
  b.At(Kind::kButton, 53, 722, 410, resources::kButton2OffImage);
  b.Add(Kind::kSwitch, 55, {727, 472, 0, 0}, resources::kSwitch2Image, -1, 1.0);
}

}  // namespace

const std::vector<Control>& Controls() {
  static const std::vector<Control> controls = [] {
    Builder b;
    AddMainView(b);
    AddAltView(b);
    return b.controls;
  }();
  return controls;
}

}  // namespace snapshot
