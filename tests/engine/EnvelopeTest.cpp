// Envelope stages against the time table.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "tests/engine/SingleBlocks.h"

namespace engine {
namespace {

using State = Envelope::State;

// Samples until the envelope leaves `state` (at most `limit`).
int SamplesIn(Envelope& env, State state, int limit) {
  int n = 0;
  while (env.GetState() == state && n < limit) {
    env.Process();
    ++n;
  }
  return n;
}

Envelope Make(double rate, double a, double d, double s, double r) {
  Envelope env;
  env.SetSampleRate(rate);
  env.SetAttack(a);
  env.SetDecay(d);
  env.SetSustain(s);
  env.SetRelease(r);
  return env;
}

TEST(Envelope, TimeTableInterpolatesBetweenPoints) {
  EXPECT_EQ(Envelope::StageSeconds(0.0), 0.001);
  EXPECT_EQ(Envelope::StageSeconds(-1.0), 0.001);
  EXPECT_EQ(Envelope::StageSeconds(1.0), 15.0);
  EXPECT_EQ(Envelope::StageSeconds(2.0), 15.0);
  EXPECT_NEAR(Envelope::StageSeconds(7.5 / 15.0), (0.07 + 0.12) / 2.0, 1e-12);
  EXPECT_NEAR(Envelope::StageSeconds(14.5 / 15.0), 9.0, 1e-9);
  EXPECT_EQ(Envelope::StageSeconds(std::nan("")), 0.001);
}

TEST(Envelope, AttackZeroReachesFullLevelInAboutOneMillisecond) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    Envelope env = Make(rate, 0.0, 0.0, 1.0, 0.0);
    env.GateOn();
    const int n = SamplesIn(env, State::kAttack, 100000);
    EXPECT_NEAR(n * 1000.0 / rate, 1.0, 0.05) << "rate " << rate;
    // Sustain 15: it stays at 1.
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(env.Process(), 1.0);
    EXPECT_EQ(env.GetState(), State::kDecay);
  }
}

TEST(Envelope, StagesTakeTheirTableTimes) {
  const double rate = 48000.0;
  for (int setting : {1, 5, 9, 12, 14}) {
    const double x = setting / 15.0;
    const double t = Envelope::kTimeTable[setting];
    Envelope env = Make(rate, x, x, 0.5, x);
    env.GateOn();
    const int attack = SamplesIn(env, State::kAttack, 10000000);
    EXPECT_NEAR(attack / rate, t, 0.03 * t) << "attack setting " << setting;
    // After T(decay) the decay has covered about 90 % of the way to the sustain level.
    for (int i = 0; i < static_cast<int>(t * rate); ++i) env.Process();
    EXPECT_NEAR(env.Level(), 0.5 + 0.1 * 0.5, 0.01) << "decay setting " << setting;
    // A release from full level reaches 0 after about T(release).
    Envelope full = Make(rate, 0.0, 0.0, 1.0, x);
    full.GateOn();
    SamplesIn(full, State::kAttack, 100000);
    full.Release();
    const int release = SamplesIn(full, State::kRelease, 10000000);
    EXPECT_NEAR(release / rate, t, 0.03 * t) << "release setting " << setting;
    EXPECT_EQ(full.Level(), 0.0);
    EXPECT_TRUE(full.IsIdle());
  }
}

TEST(Envelope, ReleaseAtZeroGoesIdleAtOnce) {
  Envelope env = Make(44100.0, 0.5, 0.5, 0.5, 0.5);
  env.GateOn();
  env.Release();  // level still 0: nothing to release
  EXPECT_TRUE(env.IsIdle());
  EXPECT_EQ(env.Level(), 0.0);
}

TEST(Envelope, GateOnContinuesFromTheCurrentLevel) {
  Envelope env = Make(44100.0, 0.0, 0.0, 1.0, 12.0 / 15.0);
  env.GateOn();
  SamplesIn(env, State::kAttack, 1000);
  env.Release();
  for (int i = 0; i < 4410; ++i) env.Process();
  const double level = env.Level();
  ASSERT_GT(level, 0.2);
  env.GateOn();
  EXPECT_GT(env.Process(), level);
  EXPECT_EQ(env.GetState(), State::kAttack);
}

TEST(Envelope, SettingChangesApplyToTheRunningStageOnly) {
  const double rate = 44100.0;
  Envelope slow = Make(rate, 1.0, 0.0, 0.5, 0.0);
  slow.GateOn();
  slow.Process();
  slow.SetDecay(1.0);   // not in decay: no effect on the attack
  slow.SetAttack(0.0);  // in attack: now 1 ms
  EXPECT_LT(SamplesIn(slow, State::kAttack, 100000), 0.002 * rate);
  slow.SetSustain(0.8);  // in decay: new target
  for (int i = 0; i < 15 * 44100; ++i) slow.Process();
  EXPECT_NEAR(slow.Level(), 0.8, 0.05);  // the 15 s decay set before it began still applies
}

// Regression: a decay towards sustain 0 never reaches 0 exactly, so the level used to shrink
// into subnormal numbers and the voice stayed active for ever.
TEST(Envelope, DecayToZeroSustainEndsWithoutSubnormalLevels) {
  Envelope env = Make(44100.0, 0.0, 0.0, 0.0, 0.0);
  env.GateOn();
  int n = 0;
  while (!env.IsIdle() && n < 44100) {
    const double level = env.Process();
    ASSERT_TRUE(level == 0.0 || level >= DBL_MIN) << "sample " << n;
    ++n;
  }
  EXPECT_TRUE(env.IsIdle());
  EXPECT_EQ(env.Level(), 0.0);
}

// Regression: at the lowest accepted sample rates (1 ... 2.3 kHz) the shortest stages had a
// coefficient above 1, so a fast decay overshot the sustain level, swung across 0 and the
// note went idle while its key was still down.
TEST(Envelope, FastStagesAtLowSampleRatesSettleOnTheSustainLevel) {
  for (double rate : {1000.0, 1500.0, 2000.0}) {
    for (double sustain : {0.3, 0.5, 0.9}) {
      Envelope env = Make(rate, 0.0, 0.0, sustain, 0.0);
      env.GateOn();
      for (int i = 0; i < 200; ++i) {
        const double level = env.Process();
        ASSERT_GE(level, 0.0) << "rate " << rate << " sustain " << sustain << " sample " << i;
        ASSERT_LE(level, 1.0) << "rate " << rate << " sustain " << sustain << " sample " << i;
      }
      EXPECT_EQ(env.GetState(), State::kDecay) << "rate " << rate << " sustain " << sustain;
      EXPECT_NEAR(env.Level(), sustain, 1e-9) << "rate " << rate;
      env.Release();
      EXPECT_LT(SamplesIn(env, State::kRelease, 10), 10) << "rate " << rate;
      EXPECT_EQ(env.Level(), 0.0);
    }
  }
}

}  // namespace
}  // namespace engine
