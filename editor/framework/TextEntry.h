// The one-line text entry's record and rules, apart from any window: which characters a
// parameter entry accepts, the bounded copies of the text, and how a committed text becomes
// a parameter value. IGraphics runs the states; the platform draws the box.
//
// States: 0 idle, 1 the box has the focus, 2 the editor drew around the box, 3 cancel
// requested, 4 commit requested. The editor's next timer tick acts on 3 and 4.
#pragma once

#include "editor/framework/IGraphicsTypes.h"

class IControl;
class ParamRecord;

class TextEntry {
 public:
  enum State : int { kIdle = 0, kFocused = 1, kDrawnAround = 2, kCancel = 3, kCommit = 4 };
  enum class Filter { kAny, kInteger, kDecimal };
  // The most bytes read back from a box (the buffer holds this many plus the terminator).
  static constexpr int kReadLimit = 31;
  // The most bytes a box ever holds, whatever a control's limit says.
  static constexpr int kMaxLimit = 255;

  bool IsOpen() const { return open_; }
  State GetState() const { return state_; }
  void SetState(State state) {
    if (open_) state_ = state;
  }
  IControl* Control() const { return control_; }
  int ParamIdx() const { return paramIdx_; }
  Filter GetFilter() const { return filter_; }
  // The box's character limit (the control's, at most kMaxLimit).
  int Limit() const { return limit_; }
  // The text the box opens with, already cut to the limit.
  const char* InitialText() const { return initial_; }
  // Whether a typed character may enter the box (backspace always may).
  bool Accepts(unsigned int character) const { return Accepts(filter_, character); }
  static bool Accepts(Filter filter, unsigned int character);
  // Integer and list parameters take signs and digits; continuous ones the decimal point too.
  static Filter FilterFor(const ParamRecord* param);

  void Begin(IControl* control, int paramIdx, Filter filter, int limit, const char* text);
  void End();

  // The normalised value of a committed text: list parameters take the entry whose display
  // text equals the text (0 when none); others the number read from it, negated when the
  // parameter's display is negated, clamped to the range.
  static double ValueFromText(const ParamRecord& param, const char* text);

 private:
  bool open_ = false;
  State state_ = kIdle;
  IControl* control_ = nullptr;
  int paramIdx_ = -1;
  Filter filter_ = Filter::kAny;
  int limit_ = 0;
  char initial_[kMaxLimit + 1] = {};
};
