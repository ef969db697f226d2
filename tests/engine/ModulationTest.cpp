// Control LFO shapes and rates, the MG delay ramp and the per-tick modulation sums.
#include <gtest/gtest.h>

#include <cmath>
#include <span>

#include "engine/EngineSettings.h"
#include "engine/Modulation.h"
#include "engine/Voice.h"

namespace engine {
namespace {

TEST(ControlLfo, TriangleStartsAtTheTopAndRunsTwoOverStepTicks) {
  ControlLfo lfo;
  lfo.step = 0.1;  // 20 ticks per cycle
  lfo.Advance();
  EXPECT_EQ(lfo.bipolar, 1.0);
  EXPECT_EQ(lfo.unipolar, 1.0);
  double lowest = 1.0;
  int wraps = 0;
  double previousPhase = lfo.phase;
  for (int tick = 1; tick <= 200; ++tick) {
    lfo.Advance();
    lowest = std::min(lowest, lfo.bipolar);
    ASSERT_NEAR(lfo.bipolar, 2.0 * lfo.unipolar - 1.0, 1e-15);
    ASSERT_GE(lfo.unipolar, 0.0);
    ASSERT_LE(lfo.unipolar, 1.0);
    if (lfo.phase < previousPhase) ++wraps;
    previousPhase = lfo.phase;
  }
  EXPECT_NEAR(lowest, -1.0, 1e-9);  // mid-cycle the phase passes 0
  EXPECT_EQ(wraps, 10);
}

TEST(ControlLfo, StepForHzGivesCyclesPerThousandTicks) {
  for (double hz : {0.3, 5.6, 15.0}) {
    ControlLfo lfo;
    lfo.step = ControlLfo::StepForHz(hz);
    int wraps = 0;
    for (int tick = 0; tick < 10000; ++tick) {
      const double before = lfo.phase;
      lfo.Advance();
      if (lfo.phase < before) ++wraps;
    }
    EXPECT_NEAR(wraps, hz * 10.0, 1.0) << hz;
  }
}

// Applies plain value v of a parameter with range min ... max (linear curve).
void Set(EngineSettings& s, int index, double v, double min, double max) { s.Apply(index, v, (v - min) / (max - min)); }

TEST(Modulation, MgDelayZeroSilencesExactlyOneTick) {
  EngineSettings s;
  Set(s, 31, 0.0, 0.0, 3.0);
  Set(s, 32, 7.0, 0.0, 7.0);  // full pitch depth: 128
  Set(s, 30, 15.0, 0.0, 15.0);
  Modulation mod;
  for (int i = 0; i < 10; ++i) mod.Tick(s, 0.0, 0.0);
  mod.RestartDelay();
  EXPECT_EQ(mod.Tick(s, 0.0, 0.0).pitch, 0.0);
  EXPECT_EQ(mod.DelayRamp(), 1.0);
  const double pitch = mod.Tick(s, 0.0, 0.0).pitch;
  EXPECT_NEAR(pitch, 128.0 * mod.Mg().bipolar, 1e-12);
  EXPECT_NE(mod.Values().pitch, 0.0);
}

TEST(Modulation, MgDelayThreeWaitsAboutFifteenHundredTicks) {
  EngineSettings s;
  Set(s, 31, 3.0, 0.0, 3.0);
  Set(s, 33, 7.0, 0.0, 7.0);  // full filter depth: 3968
  Modulation mod;
  mod.RestartDelay();
  int silent = 0;
  while (mod.Tick(s, 0.0, 0.0).filter == 0.0 && silent < 5000) ++silent;
  EXPECT_GE(silent, 1500);
  EXPECT_LE(silent, 1502);
  EXPECT_NEAR(std::fabs(mod.Values().filter), 3968.0 * std::fabs(mod.Mg().bipolar), 1e-9);
}

TEST(Modulation, BendTuneAndWheelSums) {
  EngineSettings s;
  Set(s, 1, 0.5, -1.0, 1.0);  // tune +0.5 semitone = 64
  Set(s, 2, 12.0, 0.0, 12.0);
  s.Apply(3, 10.0, 0.0);  // wheel at 10 Hz
  Modulation mod;
  const ModulationValues& v = mod.Tick(s, -0.5, 1.0);
  // First tick: the wheel triangle sits at +1.
  EXPECT_NEAR(v.pitch, -0.5 * 1536.0 + 64.0 + 128.0, 1e-9);
  EXPECT_EQ(v.filter, 0.0);
  s.Apply(4, 1.0, 1.0);  // wheel to VCF
  ControlLfo wheel = mod.Wheel();
  mod.Tick(s, 0.0, 0.5);
  wheel.step = s.wheelLfoStep;
  wheel.Advance();
  EXPECT_NEAR(v.filter, 0.5 * 3968.0 * wheel.bipolar, 1e-9);
  EXPECT_NEAR(v.pitch, 64.0, 1e-9);
}

TEST(Modulation, PulseAmountSources) {
  EngineSettings s;
  Set(s, 10, 7.0, 0.0, 7.0);  // pulse depth 0.85
  Modulation mod;
  EXPECT_NEAR(mod.Tick(s, 0, 0).pulseAmount, 0.85, 1e-12);  // PW: fixed
  Set(s, 9, 2.0, 0.0, 2.0);                                 // PWM
  Set(s, 30, 8.0, 0.0, 15.0);
  // No own LFO: the MG's unipolar triangle scaled by the delay ramp.
  mod.RestartDelay();
  Set(s, 31, 0.3, 0.0, 3.0);  // 151 ticks
  for (int i = 0; i < 50; ++i) mod.Tick(s, 0, 0);
  EXPECT_NEAR(mod.Values().pulseAmount, mod.Mg().unipolar * mod.DelayRamp() * 0.85, 1e-12);
  EXPECT_GT(mod.DelayRamp(), 0.3);
  EXPECT_LT(mod.DelayRamp(), 0.4);
  // Own LFO: its unipolar output, no ramp.
  Set(s, 11, 7.5, 0.0, 15.0);
  EXPECT_TRUE(s.pwmOwnLfo);
  mod.Tick(s, 0, 0);
  EXPECT_NEAR(mod.Values().pulseAmount, mod.Pwm().unipolar * 0.85, 1e-12);
}

TEST(Modulation, LfoRatesPerTick) {
  EngineSettings s;
  // MG at e: 0.15 + 14.7 e^1.5 cycles per 1000 ticks; PWM at e: 0.15 + 7.35 e^2.
  Set(s, 30, 15.0, 0.0, 15.0);
  EXPECT_NEAR(2.0 / s.mgLfoStep, 1000.0 / 14.85, 1e-9);
  Set(s, 30, 0.0, 0.0, 15.0);
  EXPECT_NEAR(2.0 / s.mgLfoStep, 1000.0 / 0.15, 1e-6);
  Set(s, 11, 7.5, 0.0, 15.0);
  EXPECT_NEAR(2.0 / s.pwmLfoStep, 1000.0 / (0.15 + 7.35 * 0.25), 1e-9);
  s.Apply(3, 3.975, 0.5);
  EXPECT_NEAR(2.0 / s.wheelLfoStep, 1000.0 / 3.975, 1e-9);
}

}  // namespace
}  // namespace engine
