// Where the editor's controls sit in its two 1032 x 588 views, with the bitmap each one
// draws and what it shows: the one table the snapshot tool draws from until the editor
// draws itself. Entries are in the editor's drawing order (later ones lie on top).
#pragma once

#include <vector>

#include "gfx/LICE.h"

namespace snapshot {

constexpr int kWidth = 1032;
constexpr int kHeight = 588;

enum class View { kMain, kAlt };

enum class Kind {
  kBackground,      // the whole view
  kKnob,            // a frame of a strip chosen by the parameter's normalised value
  kSwitch,          // likewise, for slide and rotary switches (no hover readout)
  kButton,          // a push button: the unlit bitmap's first frame
  kLamp,            // drawn only while lit (EDIT LED, LEARN labels): nothing here
  kProgramDisplay,  // two seven-segment digits: the current program's number
  kBlankDisplay,    // two seven-segment digits, blank
  kVoicesDisplay,   // four small digits: voices per note and polyphony
  kFader,           // main-view fader: track, handle and value while shown
  kMenu,            // the MENU button: frame 1, frame 2 while hovered
  kProgramName,     // the current program's name
  kTextToggle,      // the parameter's display text, with a shadow
  kHotSpot,         // invisible
};

struct Control {
  View view;
  Kind kind;
  int key;          // the control registry's key (parameter or command number)
  LICE_Rect place;  // right and bottom 0: the bitmap's frame size from left, top
  int image = 0;    // resource id of the bitmap, 0 for none
  int parameter = -1;
  double value = 0.0;  // the value shown when no parameter is bound (switch positions)
};

// Every control of both views, in drawing order.
const std::vector<Control>& Controls();

}  // namespace snapshot
