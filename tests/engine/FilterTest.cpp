// Second-order Butterworth sections: coefficients, responses and the non-normal guard.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "engine/dsp/Filter.h"
#include "tests/engine/SignalMeasure.h"

namespace engine {
namespace {

// Steady-state gain for a sine at hz, measured after the transient.
double MeasuredGain(Filter& f, double rate, double hz) {
  std::vector<double> out;
  const int n = static_cast<int>(rate);
  for (int i = 0; i < n; ++i) {
    const double y = f.Process(std::sin(2.0 * std::numbers::pi * hz * i / rate));
    if (i >= n / 2) out.push_back(y);
  }
  return engine_test::AmplitudeAt(out, rate, hz);
}

TEST(Filter, QuarterRateCoefficients) {
  // At fc = rate/4: cos w = 0, alpha = 1/sqrt2, g = 1/(1 + 1/sqrt2).
  const double g = 1.0 / (1.0 + 1.0 / std::numbers::sqrt2);
  LowPass lp;
  lp.Set(48000.0, 12000.0);
  EXPECT_NEAR(lp.C1(), 0.0, 1e-15);
  EXPECT_NEAR(lp.C2(), (1.0 / std::numbers::sqrt2 - 1.0) * g, 1e-15);
  EXPECT_NEAR(lp.B0(), 0.5 * g, 1e-15);
  EXPECT_NEAR(lp.B1(), g, 1e-15);
  HighPass hp;
  hp.Set(48000.0, 12000.0);
  EXPECT_NEAR(hp.B0(), 0.5 * g, 1e-15);
  EXPECT_NEAR(hp.B1(), -g, 1e-15);
  EXPECT_EQ(hp.C2(), lp.C2());
}

TEST(Filter, ButterworthResponses) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    LowPass lp;
    lp.Set(rate, 1000.0);
    EXPECT_NEAR((2.0 * lp.B0() + lp.B1()) / (1.0 - lp.C1() - lp.C2()), 1.0, 1e-12) << rate;  // DC
    EXPECT_NEAR(MeasuredGain(lp, rate, 1000.0), std::sqrt(0.5), 0.01) << rate;               // -3 dB at cutoff
    lp.Reset();
    EXPECT_NEAR(MeasuredGain(lp, rate, 4000.0), 1.0 / 16.0, 0.01) << rate;  // 12 dB/octave
    HighPass hp;
    hp.Set(rate, 1000.0);
    EXPECT_NEAR(2.0 * hp.B0() + hp.B1(), 0.0, 1e-12) << rate;  // no DC through
    EXPECT_NEAR(MeasuredGain(hp, rate, 1000.0), std::sqrt(0.5), 0.01) << rate;
    hp.Reset();
    EXPECT_NEAR(MeasuredGain(hp, rate, 8000.0), 1.0, 0.02) << rate;
  }
}

TEST(Filter, SetClearsTheHistory) {
  LowPass a;
  a.Set(44100.0, 500.0);
  for (int i = 0; i < 100; ++i) a.Process(1.0);
  a.Set(44100.0, 500.0);
  LowPass b;
  b.Set(44100.0, 500.0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(a.Process(0.3), b.Process(0.3));
}

TEST(Filter, PresetLowPassRestsAtTheLevel) {
  LowPass lp;
  lp.Set(44100.0, 10.0);
  lp.Preset(5000.0);
  for (int i = 0; i < 100; ++i) EXPECT_NEAR(lp.Process(5000.0), 5000.0, 1e-9);
}

TEST(Filter, NonNormalInputsBecomeZero) {
  LowPass lp;
  lp.Set(44100.0, 7000.0);
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), DBL_MIN / 4.0}) {
    for (int i = 0; i < 10; ++i) lp.Process(0.5);
    const double y = lp.Process(bad);
    EXPECT_TRUE(std::isfinite(y)) << bad;
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(std::isfinite(lp.Process(0.5))) << bad;
  }
}

TEST(Filter, LongSilenceDecaysToExactZero) {
  // Without the guard the tail would crawl through subnormal numbers for a long time.
  for (int kind = 0; kind < 2; ++kind) {
    LowPass lp;
    HighPass hp;
    Filter& f = kind == 0 ? static_cast<Filter&>(lp) : static_cast<Filter&>(hp);
    f.Set(44100.0, 50.0);
    for (int i = 0; i < 1000; ++i) f.Process(i % 50 < 25 ? 1.0 : -1.0);
    std::vector<double> tail;
    for (int i = 0; i < 5 * 44100; ++i) tail.push_back(f.Process(0.0));
    EXPECT_TRUE(engine_test::AllNormalOrZero(tail)) << kind;
    EXPECT_EQ(tail.back(), 0.0) << kind;
  }
}

}  // namespace
}  // namespace engine
