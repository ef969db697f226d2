// The DOWN/UP auto-repeat schedule: the first repeat 750 ms after the press, then one every
// 100 ms until release. Timed on the user-interface thread by the editor's timer (a period
// of 40 ms), so a repeat runs at the first timer tick on or after its time, and it repeats
// whether or not the host is processing audio. Plain state, user-interface thread only.
#pragma once

#include <chrono>

namespace panel {

using PanelClock = std::chrono::steady_clock;
using PanelTime = PanelClock::time_point;

class AutoRepeat {
 public:
  static constexpr std::chrono::milliseconds kFirstDelay{750};
  static constexpr std::chrono::milliseconds kInterval{100};

  // A held button (DOWN or UP) with the right-button flag of its press.
  void Start(int command, bool right, PanelTime now) {
    command_ = command;
    right_ = right;
    next_ = now + kFirstDelay;
  }
  void Stop() { command_ = 0; }
  bool Running() const { return command_ != 0; }
  int Command() const { return command_; }
  bool Right() const { return right_; }
  PanelTime NextRepeat() const { return next_; }

  // True when a repeat is due at `now`; the next one is then scheduled. The schedule keeps
  // its own 100 ms grid while the timer is on time; after a stall (a busy host) it starts
  // again from now instead of firing the missed repeats in a burst.
  bool Due(PanelTime now) {
    if (!Running() || now < next_) return false;
    next_ += kInterval;
    if (next_ <= now) next_ = now + kInterval;
    return true;
  }

 private:
  int command_ = 0;
  bool right_ = false;
  PanelTime next_{};
};

}  // namespace panel
