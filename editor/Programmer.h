// The hardware-style programmer's own state: program or parameter mode, the first digit of
// a two-key number, the selected sound parameter, and the digit codes its three LED
// displays show. Plain state on the user-interface thread; editor/Panel.h applies what
// it decides to the plug-in.
#pragma once

#include <cstdint>

#include "engine/ParamIndex.h"

namespace panel {

// Sound parameters 8 ... 33 carry two-digit hardware numbers 11 ... 64, held as display
// codes (first digit in the high nibble): 0x11 is "DCO1 Octave".
inline constexpr int kFirstSoundParam = kDco1Octave;
inline constexpr int kLastSoundParam = kMgVcf;

// The parameter index of a hardware number code, or -1 when no parameter has it.
int ParameterForCode(int code);
// The hardware number code of a sound parameter, or a blank pair outside 8 ... 33.
int CodeForParameter(int index);
// The value display's code for parameter index at plain value x: how the hardware shows
// octaves, waveforms, intervals, signed intensities and filter slopes; two blanks for
// parameters without a number.
int ValueDisplayCode(int index, double x);

// What a digit key asks for.
struct DigitAction {
  enum class Kind { kNone, kSwitchProgram, kSelectParameter };
  Kind kind = Kind::kNone;
  int index = -1;  // program 0 ... 63 or parameter 8 ... 33
};

class Programmer {
 public:
  bool ParameterMode() const { return parameterMode_; }
  // PROGRAM and PARAMETER: the mode changes and a pending first digit is forgotten.
  void SetParameterMode(bool on);

  // Key b (1 ... 8). In program mode, or whenever the alternative view shows, two keys
  // make a program (bank digit, then number digit). In parameter mode two keys make a
  // hardware number: an unknown number keeps its first digit pending, and 7 or 8 cannot
  // start one. The caller performs the answered action.
  DigitAction Digit(int b, bool altView);
  bool DigitPending() const { return pending_ > 0; }
  int PendingDigit() const { return pending_; }

  // The fader and the number keys select a sound parameter (8 ... 33), remembering its
  // value; other indexes are ignored.
  void SelectParameter(int index, double value);
  int SelectedParameter() const { return selected_; }
  double SelectedValue() const { return selectedValue_; }

  // Display 115: the program number 11 ... 88, or the pending bank digit and a minus.
  int ProgramDisplayCode(int program, bool altView) const;
  // Display 116: the pending digit and a minus while a parameter number is typed, else
  // the selected parameter's number.
  int ParameterDisplayCode(bool altView) const;

 private:
  bool NumbersArePrograms(bool altView) const { return !parameterMode_ || altView; }

  bool parameterMode_ = false;
  int pending_ = 0;  // 0 none, else the first digit 1 ... 8
  int selected_ = kFirstSoundParam;
  double selectedValue_ = 0.0;
};

}  // namespace panel
