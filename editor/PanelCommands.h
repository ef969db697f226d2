// The panel's command and role numbers. A control that is not bound to a parameter carries
// the negative of one of these; the programmer (editor/Panel.h) runs the commands.
#pragma once

namespace panel {

// Browser (alternative view only).
inline constexpr int kFileSource = 52;
inline constexpr int kCurrentBankSource = 53;
inline constexpr int kFactorySource = 54;
inline constexpr int kClickMode = 55;
inline constexpr int kFileScroll = 56;
inline constexpr int kProgramScroll = 57;
inline constexpr int kFirstFileRow = 58;     // 58 ... 67
inline constexpr int kFirstProgramRow = 68;  // 68 ... 106

// Both views.
inline constexpr int kMainBackground = 107;
inline constexpr int kAltBackground = 108;
inline constexpr int kViewSwitch = 109;
inline constexpr int kVersionText = 111;
inline constexpr int kUtilityMenu = 112;
inline constexpr int kBrowse = 113;
inline constexpr int kPresetName = 114;
inline constexpr int kProgramDisplay = 115;
inline constexpr int kParameterDisplay = 116;
inline constexpr int kValueDisplay = 117;
inline constexpr int kEditLed = 118;
inline constexpr int kLearn = 119;
inline constexpr int kLearnLabel = 120;
inline constexpr int kDown = 122;
inline constexpr int kUp = 123;
inline constexpr int kProgramMode = 124;
inline constexpr int kParameterMode = 125;
inline constexpr int kFirstKey = 126;  // keys 1 ... 8 are 126 ... 133
inline constexpr int kLastKey = 133;
inline constexpr int kHold = 134;
inline constexpr int kChord = 135;
inline constexpr int kPoly = 136;
inline constexpr int kUnison = 137;

// An alternative-view control is found in the control registry under its number plus this.
inline constexpr int kAltViewKeyOffset = 138;

// Display codes: one byte, two digits; each nibble picks a digit frame (nibble + 1).
inline constexpr int kMinusDigit = 0xA;
inline constexpr int kBlankDigit = 0xB;

}  // namespace panel
