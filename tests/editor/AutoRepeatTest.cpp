// The DOWN/UP repeat schedule as the editor's 40 ms timer sees it.
#include "editor/AutoRepeat.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using panel::AutoRepeat;
using std::chrono::milliseconds;

// The times (ms after the press) at which a timer ticking every period ms, starting at
// phase ms after the press, runs a repeat, up to end ms.
std::vector<int> RepeatTimes(int period, int phase, int end) {
  const panel::PanelTime press{};
  AutoRepeat repeat;
  repeat.Start(123, false, press);
  std::vector<int> times;
  for (int t = phase; t <= end; t += period) {
    if (repeat.Due(press + milliseconds(t))) times.push_back(t);
  }
  return times;
}

TEST(AutoRepeatTest, FirstRepeatAfter750MsThenEvery100WithinOneTimerPeriod) {
  for (int phase = 1; phase <= 40; phase += 13) {
    const std::vector<int> times = RepeatTimes(40, phase, 2000);
    ASSERT_FALSE(times.empty());
    // Each repeat runs at the first tick on or after its time: never early, less than
    // one timer period late, and the grid does not drift.
    for (std::size_t k = 0; k < times.size(); ++k) {
      const int due = 750 + 100 * static_cast<int>(k);
      EXPECT_GE(times[k], due) << "phase " << phase << " repeat " << k;
      EXPECT_LT(times[k], due + 40) << "phase " << phase << " repeat " << k;
    }
    EXPECT_EQ(times.size(), 13u) << phase;  // 750, 850, ... 1950
  }
}

TEST(AutoRepeatTest, AStalledTimerRepeatsOnceAndKeepsItsPace) {
  const panel::PanelTime press{};
  AutoRepeat repeat;
  repeat.Start(122, true, press);
  EXPECT_TRUE(repeat.Right());
  EXPECT_FALSE(repeat.Due(press + milliseconds(749)));
  // The host held the thread for two seconds: one repeat, not a burst of twelve.
  EXPECT_TRUE(repeat.Due(press + milliseconds(2000)));
  EXPECT_FALSE(repeat.Due(press + milliseconds(2040)));
  EXPECT_FALSE(repeat.Due(press + milliseconds(2080)));
  EXPECT_TRUE(repeat.Due(press + milliseconds(2100)));
  repeat.Stop();
  EXPECT_FALSE(repeat.Running());
  EXPECT_FALSE(repeat.Due(press + milliseconds(5000)));
}

}  // namespace
