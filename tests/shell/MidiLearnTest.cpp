// MIDI learn and forget on a controller map, step by step.
#include "shell/MidiLearn.h"

#include <gtest/gtest.h>

namespace {

constexpr int kCutoff = 16;
constexpr int kResonance = 17;

shell::ControllerMap EmptyMap() {
  shell::ControllerMap map;
  map.fill(-1);
  return map;
}

TEST(MidiLearnTest, LearnPairsControllerAndParameterInEitherOrder) {
  shell::ControllerMap map = EmptyMap();
  map[5] = kCutoff;  // an older controller of the cutoff
  shell::MidiLearn learn;
  learn.Toggle(false);
  EXPECT_EQ(learn.Mode(), shell::LearnMode::kLearning);
  learn.ParameterTouched(kCutoff, map);
  EXPECT_TRUE(learn.Active());
  learn.ControllerMoved(20, map);
  EXPECT_EQ(learn.Mode(), shell::LearnMode::kOff);
  EXPECT_EQ(map[20], kCutoff);
  EXPECT_EQ(map[5], -1);

  // Again, controller first: the learned parameter survives from the last learn.
  learn.Toggle(false);
  learn.ControllerMoved(21, map);
  EXPECT_FALSE(learn.Active());
  EXPECT_EQ(map[21], kCutoff);
  EXPECT_EQ(map[20], -1);

  learn.Toggle(false);
  learn.ControllerMoved(22, map);  // ends at once with the cutoff ...
  learn.Toggle(false);
  learn.ParameterTouched(kResonance, map);  // ... and a parameter alone waits for a controller
  EXPECT_TRUE(learn.Active());
  EXPECT_EQ(map[22], kCutoff);
  learn.ControllerMoved(22, map);
  EXPECT_EQ(map[22], kResonance);
}

TEST(MidiLearnTest, ForgetUnmapsTheControllerOrTheParameter) {
  shell::ControllerMap map = EmptyMap();
  map[20] = kCutoff;
  map[21] = kCutoff;
  map[30] = kResonance;
  shell::MidiLearn learn;
  learn.Toggle(true);
  EXPECT_EQ(learn.Mode(), shell::LearnMode::kForgetting);
  learn.ControllerMoved(20, map);
  EXPECT_EQ(learn.Mode(), shell::LearnMode::kOff);
  EXPECT_EQ(map[20], -1);
  EXPECT_EQ(map[21], kCutoff);

  learn.Toggle(true);
  learn.ParameterTouched(kCutoff, map);
  EXPECT_FALSE(learn.Active());
  EXPECT_EQ(map[21], -1);
  EXPECT_EQ(map[30], kResonance);

  // A second forget-press switches off without touching anything; then a plain learn.
  learn.Toggle(true);
  learn.Toggle(true);
  learn.ControllerMoved(30, map);
  EXPECT_EQ(map[30], kResonance);
  learn.Toggle(false);
  EXPECT_EQ(learn.Mode(), shell::LearnMode::kLearning);
}

TEST(MidiLearnTest, NothingHappensWhileOffOrForControllersBeyond119) {
  shell::ControllerMap map = EmptyMap();
  shell::MidiLearn learn;
  learn.ParameterTouched(kCutoff, map);
  learn.ControllerMoved(20, map);
  EXPECT_EQ(map, EmptyMap());
  learn.Toggle(false);
  learn.ControllerMoved(120, map);
  EXPECT_EQ(learn.LearnedController(), -1);
  learn.Cancel();
  EXPECT_EQ(learn.Mode(), shell::LearnMode::kOff);
}

}  // namespace
