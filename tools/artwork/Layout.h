// Where the editor places its controls in the two views, as the artwork needs them: every
// place is read from the editor's layout tables (editor/Layout.h), so the panels print their
// legends around the controls wherever the tables put them. Rectangles are left, top, right,
// bottom with right and bottom exclusive, in editor pixels (the panel at 100 %).
#pragma once

#include "editor/Layout.h"
#include "editor/PanelCommands.h"
#include "engine/ParamIndex.h"

namespace artwork::layout {

struct Point {
  int x = 0, y = 0;
};
using Box = panel::Box;

// The place of a control of a view's table (number: a parameter, or minus a command); a box
// at 0, 0 when the table has none, which the artwork tests catch.
inline Box BoxIn(panel::View view, int number) {
  Box box;
  panel::FindBox(view, number, &box);
  return box;
}
inline Point CornerIn(panel::View view, int number) {
  const Box box = BoxIn(view, number);
  return {box.left, box.top};
}

inline constexpr int kWidth = panel::kPanelWidth;
inline constexpr int kHeight = panel::kPanelHeight;
inline const Box kViewSwitch = BoxIn(panel::View::kBoth, -panel::kViewSwitch);

// Knob and rotary-switch frames are 40 x 40, push buttons 40 x 36, small buttons 24 x 40,
// slide switches 14 x 20.
inline constexpr int kKnobSize = 40;

namespace main_view {
inline Box At(int number) { return BoxIn(panel::View::kMain, number); }
inline Point Corner(int number) { return CornerIn(panel::View::kMain, number); }
inline const Box kVersion = At(-panel::kVersionText);
inline const Box kPresetName = At(-panel::kPresetName);
inline const Box kProgramDisplay = At(-panel::kProgramDisplay);
inline const Box kParameterDisplay = At(-panel::kParameterDisplay);
inline const Box kValueDisplay = At(-panel::kValueDisplay);
inline const Point kMenu = Corner(-panel::kUtilityMenu);
inline const Point kEditLed = Corner(-panel::kEditLed);
inline const Point kDown = Corner(-panel::kDown);
inline const Point kUp = Corner(-panel::kUp);
inline const Point kProgram = Corner(-panel::kProgramMode);
inline const Point kParameter = Corner(-panel::kParameterMode);
inline Point Key(int n) { return Corner(-(panel::kFirstKey + n - 1)); }  // n = 1..8
inline const Point kBrowse = Corner(-panel::kBrowse);
inline const Point kLearn = Corner(-panel::kLearn);
inline const Point kLearnLabel = Corner(-panel::kLearnLabel);
inline const Point kHold = Corner(-panel::kHold);
inline const Point kChord = Corner(-panel::kChord);
inline const Point kPoly = Corner(-panel::kPoly);
inline const Point kUnison = Corner(-panel::kUnison);
inline const Point kVolume = Corner(::kVolume);
inline const Point kTune = Corner(::kTune);
inline const Point kBend = Corner(::kBend);
inline const Box kWheelDestination = At(::kWheelDestination);
inline const Point kWheelFrequency = Corner(::kWheelFrequency);
inline const Point kEffectsMode = Corner(::kEffectsMode);
inline const Point kEffectsSpeed = Corner(::kEffectsSpeed);
inline const Box kVoices = At(::kVoices);
inline const Point kSpread = Corner(::kSpread);

// The faders of the sound parameters 8 to 33, in two rows of three groups.
inline const int kFaderWidth = At(kDco1Octave).Width();
inline constexpr int kFaderHeight = panel::kFaderLength;
inline Point Fader(int parameter) { return Corner(parameter); }
}  // namespace main_view

namespace alt_view {
inline Box At(int number) { return BoxIn(panel::View::kAlt, number); }
inline Point Corner(int number) { return CornerIn(panel::View::kAlt, number); }
inline const Box kVersion = At(-panel::kVersionText);
inline const Box kPresetName = At(-panel::kPresetName);
inline const Box kLeftArrow = At(-panel::kDown);
inline const Box kProgramDisplay = At(-panel::kProgramDisplay);
inline const Box kRightArrow = At(-panel::kUp);
inline const Box kMenu = At(-panel::kUtilityMenu);
inline const Point kLearnLabel = Corner(-panel::kLearnLabel);
inline const Box kLearn = At(-panel::kLearn);
inline const Point kHold = Corner(-panel::kHold);
inline const Point kChord = Corner(-panel::kChord);
inline const Point kPoly = Corner(-panel::kPoly);
inline const Point kUnison = Corner(-panel::kUnison);
inline const Box kVoices = At(::kVoices);
inline const Point kSpread = Corner(::kSpread);
inline Point Key(int n) { return Corner(-(panel::kFirstKey + n - 1)); }  // n = 1..8
inline const Point kVolume = Corner(::kVolume);
inline const Point kTune = Corner(::kTune);
inline const Point kBend = Corner(::kBend);
inline const Box kWheelDestination = At(::kWheelDestination);
inline const Point kWheelFrequency = Corner(::kWheelFrequency);
inline const Point kEffectsMode = Corner(::kEffectsMode);
inline const Point kEffectsSpeed = Corner(::kEffectsSpeed);
inline const Point kVcfType = Corner(::kVcfType);
inline const Point kVcaMode = Corner(::kVcaEgMode);

// The knob or rotary switch of sound parameter 8 to 33 (not 20 and 25, the slide switches).
inline Point Knob(int parameter) { return Corner(parameter); }

// The program browser.
inline const Point kFactory = Corner(-panel::kFactorySource);
inline const Point kFile = Corner(-panel::kFileSource);
inline const Point kCurrentBank = Corner(-panel::kCurrentBankSource);
inline const Point kClickMode = Corner(-panel::kClickMode);
inline const Box kFileScroll = At(-panel::kFileScroll);
inline const Box kProgramScroll = At(-panel::kProgramScroll);
inline const int kRowHeight = At(-(panel::kFirstFileRow + 1)).top - At(-panel::kFirstFileRow).top;
inline Box FileRow(int r) { return At(-(panel::kFirstFileRow + r)); }  // r = 0..9
inline Box ProgramRow(int column, int r) {                             // column 0..2, r = 0..12
  return At(-(panel::kFirstProgramRow + 13 * column + r));
}
}  // namespace alt_view

}  // namespace artwork::layout
