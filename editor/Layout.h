// The panel's layout as data: the artwork, and every control of both views with its kind,
// place, artwork and binding, in drawing order. editor/PanelLayout.h builds the controls from
// these tables; nothing here depends on the editor framework.
#pragma once

#include <span>

#include "resources/Images.h"

namespace panel {

// The panel's size in editor pixels (its size on the screen at 100 %).
inline constexpr int kPanelWidth = 1032;
inline constexpr int kPanelHeight = 588;
// A main-view fader's travel: its control is the handle's width by this length.
inline constexpr int kFaderLength = 92;

// The PNG resources of the library (ids 101 ... 125; there is no 121).
enum class Art : int {
  kNone = -1,
  kBack = 0,
  kBack2,
  kButton,
  kButton2Off,
  kButton2On,
  kButton2WhiteOff,
  kButton2WhiteOn,
  kButtonLedOff,
  kButtonLedOn,
  kDigits,
  kDigitsGreen,
  kDigitsSmall,
  kKnob,
  kKnobGray,
  kLearn,
  kLearn2,
  kLedFlat,
  kLever,
  kHandle,
  kMenu,
  kSwitch2,
  kSwitch3,
  kSwitch4,
  kSwitch5,
  kCount
};

// The resources' table (id, name, the whole strip's width and height at 100 %, frames
// stacked vertically), indexed by Art.
using ArtResource = resources::ImageInfo;
std::span<const ArtResource> ArtResources();

enum class Kind {
  kBackground,     // IBitmapControl
  kVersionText,    // ITextControl
  kPresetName,     // IQMPresetName
  kNumberDisplay,  // IQMNumberDisplay
  kOptionMenu,     // IQMOptionMenu
  kLamp,           // IQMBitmapControl
  kButton,         // IQMButtonKick
  kPresetMenu,     // IQMPresetMenu
  kKnob,           // IQMKnobControl
  kTextToggle,     // IQMTextToggle
  kVoices,         // IQMVoicesControl
  kFader,          // IQMParamPanelControl
  kHotSpot,        // IQMUtilityKick
  kSwitch,         // IQMSwitchControl
  kFileScroll,     // IQMScrollControl of the file list
  kProgramScroll,  // IQMScrollControl of the program list
  kFileRow,        // IQMScrollItemControl of the file list
  kProgramRow,     // IQMScrollItemControl of the program list
};

// One control, or a series of `count` controls whose number (parameter or command) counts up
// by one and whose place moves by (dx, dy) each time. number >= 0 binds a parameter; < 0 is
// a panel command. Where right and bottom are 0 the rectangle is one frame of `art` at (x, y).
struct Place {
  Kind kind;
  int number;
  int x;
  int y;
  int right = 0;
  int bottom = 0;
  Art art = Art::kNone;
  Art lit = Art::kNone;  // buttons: the lit bitmap
  double gearing = 4.0;  // knobs: 4 continuous, 1 stepped
  int count = 1;
  int dx = 0;
  int dy = 0;
};

enum class View { kBoth, kMain, kAlt };

// A rectangle in editor pixels: left and top inclusive, right and bottom exclusive.
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool operator==(const Box&) const = default;
};

// The number (parameter, or minus a command) and the rectangle of control i (0-based) of a
// place's series. A place without right and bottom is one frame of its art at (x, y); a fader
// is its handle's width by kFaderLength.
int NumberOf(const Place& place, int i);
Box BoxOf(const Place& place, int i);
// The rectangle of the control numbered `number` in a view's table (kBoth: the controls of
// both views); false when the table has none. The artwork generator prints its legends
// around these places, and the tests click them: every place is written once, here.
bool FindBox(View view, int number, Box* box);

// In drawing order. Each view's table starts with its background; the editor adds the main
// background, the alternative background, the view switch, then the rest of each table.
std::span<const Place> MainViewPlaces();
std::span<const Place> AltViewPlaces();
std::span<const Place> BothViewPlaces();

// The control registry's key of a control numbered `number` in a view: |number| in the main
// view, |number| + 138 in the alternative one, except its background (108) and the browser
// (52 ... 106), which only the alternative view has; -1 for controls of both views (not
// entered).
int RegistryKey(View view, int number);
inline constexpr int kRegistrySize = 137 + 138 + 1;

// Whether the control under a registry key shows in a view: the keys of one view show only
// in that view, the browser only in the alternative view.
bool KeyShownIn(int key, bool altView);

}  // namespace panel
