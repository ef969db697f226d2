// Ladder filter: coefficients of both modes, the saturator, the two outputs' slopes, the
// cutoff smoother and the behaviour on silence and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "tests/engine/SingleBlocks.h"
#include "tests/engine/SignalMeasure.h"

namespace engine {
namespace {

int CodeForHz(double hz) { return static_cast<int>(std::lround(128.0 * (69.0 + 12.0 * std::log2(hz / 440.0)))); }

// W = pi*f/rate makes each stage the bilinear one-pole of angular frequency pi*f, so its
// corner (-3 dB) lies at half the code's frequency.
int CodeForCorner(double hz) { return CodeForHz(2.0 * hz); }

LadderFilter MakeFilter(double rate, int code, double r, bool mode24) {
  LadderFilter f;
  f.SetSampleRate(rate);
  f.SetCutoffTarget(code);
  f.SetResonance(r);
  f.Set24dB(mode24);
  f.PresetCutoff();
  f.Process(0.0, 0);  // derives the coefficients for the cutoff
  return f;
}

TEST(LadderFilter, CoefficientsOfBothModes) {
  const double rate = 48000.0;
  const int code = 69 * 128;  // 440 Hz: Q is 4.1 below 500 Hz
  const double w = 440.0 * std::numbers::pi / rate;
  struct Case {
    bool mode24;
    double r, gain, k;
  } cases[] = {
      {true, 1.0, 1.0, 4.1},
      {true, 0.5, 2.0, 0.5 * 4.1},
      {true, 0.0, 1.0, 0.0},
      {true, 0.25, 1.75, 0.25 * 4.1},
      {false, 1.0, 2.0, 0.75 * 4.1},
      {false, 0.0, 1.0, 0.0},
      {false, 0.5, 1.25, 0.75 * 0.25 * 4.1},
  };
  for (const Case& c : cases) {
    const LadderFilter f = MakeFilter(rate, code, c.r, c.mode24);
    EXPECT_NEAR(f.Gain(), c.gain, 1e-12) << c.mode24 << " r " << c.r;
    EXPECT_NEAR(f.K(), c.k, 1e-12) << c.mode24 << " r " << c.r;
    EXPECT_NEAR(f.G(), w / (w + 2.0), 1e-12);
    EXPECT_NEAR(f.R(), (w - 2.0) / (w + 2.0), 1e-12);
    EXPECT_NEAR(f.Normaliser(), 1.0 / (1.0 + std::pow(f.G(), 4) * c.k), 1e-12);
  }
  // Q slides from 4.1 at 500 Hz to 4.005 at 2 kHz: 1250 Hz sits halfway.
  const double f1250 = PitchToFrequency(CodeForHz(1250.0));
  EXPECT_NEAR(MakeFilter(rate, CodeForHz(1250.0), 1.0, true).K(), 4.1 - (f1250 - 500.0) * 0.095 / 1500.0, 1e-9);
  EXPECT_NEAR(MakeFilter(rate, CodeForHz(5000.0), 1.0, true).K(), 4.005, 1e-12);
}

TEST(LadderFilter, CutoffBeyondTheTableUsesTheEnds) {
  LadderFilter top = MakeFilter(44100.0, 17280, 0.3, true);
  LadderFilter over = MakeFilter(44100.0, 17280, 0.3, true);
  over.Process(0.0, 100000);
  EXPECT_EQ(over.G(), top.G());
  LadderFilter bottom = MakeFilter(44100.0, 0, 0.3, true);
  LadderFilter under = MakeFilter(44100.0, 0, 0.3, true);
  under.Process(0.0, -100000);
  EXPECT_EQ(under.G(), bottom.G());
}

// A cutoff that is not a number (no parameter gives one today) reads inside the tables
// and leaves the output a number.
TEST(LadderFilter, CutoffThatIsNotANumberReadsInsideTheTables) {
  LadderFilter f = MakeFilter(44100.0, 6000, 0.5, true);
  f.SetCutoffTarget(std::numeric_limits<double>::quiet_NaN());
  f.PresetCutoff();
  for (int i = 0; i < 64; ++i) EXPECT_TRUE(std::isfinite(f.Process(i % 2 != 0 ? 0.5 : -0.5, 0)));
}

TEST(LadderFilter, SaturatorIsSoftOddAndBounded) {
  EXPECT_EQ(LadderFilter::Saturate(0.0), 0.0);
  EXPECT_NEAR(LadderFilter::Saturate(0.1), 0.1, 1e-4);  // about y for small y
  EXPECT_NEAR(LadderFilter::Saturate(15.0), 5.0, 1e-12);
  EXPECT_EQ(LadderFilter::Saturate(15.1), 5.0);
  EXPECT_EQ(LadderFilter::Saturate(-1e9), -5.0);
  double previous = -5.0;
  for (double y = -15.0; y <= 15.0; y += 0.01) {
    const double s = LadderFilter::Saturate(y);
    ASSERT_NEAR(s, -LadderFilter::Saturate(-y), 1e-12);
    ASSERT_GE(s, previous - 1e-12) << y;
    ASSERT_LE(std::fabs(s), std::fabs(y) + 1e-12) << y;
    previous = s;
  }
}

// Steady-state amplitude of a sine through the filter.
double Response(LadderFilter f, double rate, double hz, double amplitude = 0.1) {
  std::vector<double> out;
  const int n = static_cast<int>(rate / 2);
  for (int i = 0; i < n; ++i) {
    const double y = f.Process(amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate), 0);
    if (i >= n / 2) out.push_back(y);
  }
  return engine_test::AmplitudeAt(out, rate, hz) / amplitude;
}

TEST(LadderFilter, TwelveAndTwentyFourDecibelSlopes) {
  for (double rate : {44100.0, 48000.0}) {
    const int code = CodeForCorner(500.0);
    const LadderFilter f24 = MakeFilter(rate, code, 0.0, true);
    const LadderFilter f12 = MakeFilter(rate, code, 0.0, false);
    EXPECT_NEAR(Response(f24, rate, 50.0), 0.98, 0.01) << rate;
    EXPECT_NEAR(Response(f12, rate, 50.0), 0.99, 0.01) << rate;
    // At the corner each stage gives -3 dB: (1/sqrt2)^4 for four, 1/2 for two.
    EXPECT_NEAR(Response(f24, rate, 500.0), 0.25, 0.03) << rate;
    EXPECT_NEAR(Response(f12, rate, 500.0), 0.5, 0.05) << rate;
    // An octave well above the cutoff: about 24 dB (x16) and 12 dB (x4) per octave.
    const double ratio24 = Response(f24, rate, 2000.0) / Response(f24, rate, 4000.0);
    const double ratio12 = Response(f12, rate, 2000.0) / Response(f12, rate, 4000.0);
    EXPECT_GT(ratio24, 13.0) << rate;
    EXPECT_LT(ratio24, 24.0) << rate;
    EXPECT_GT(ratio12, 3.3) << rate;
    EXPECT_LT(ratio12, 6.0) << rate;
  }
}

TEST(LadderFilter, ResonancePeaksAtTheCutoff) {
  const double rate = 48000.0;
  const int code = CodeForCorner(1000.0);
  const LadderFilter plain = MakeFilter(rate, code, 0.0, true);
  const LadderFilter resonant = MakeFilter(rate, code, 0.8, true);
  EXPECT_GT(Response(resonant, rate, 1000.0, 0.01), 4.0 * Response(plain, rate, 1000.0, 0.01));
  EXPECT_LT(Response(resonant, rate, 100.0), Response(plain, rate, 100.0) * 1.01);
}

TEST(LadderFilter, SmootherGlidesToTheTargetAndStops) {
  LadderFilter f = MakeFilter(44100.0, 2000, 0.0, true);
  f.SetCutoffTarget(12000.0);
  f.Process(0.0, 0);
  const double after = f.SmoothedCutoff();
  EXPECT_GT(after, 2000.0);
  EXPECT_LT(after, 2100.0);  // a 10 Hz glide, not a jump
  for (int i = 0; i < 44100; ++i) f.Process(0.0, 0);
  // The 10 Hz section's DC gain is 1 only to about 1e-10, so it may rest a hair off.
  EXPECT_NEAR(f.SmoothedCutoff(), 12000.0, 1e-3);
  f.PresetCutoff();
  EXPECT_EQ(f.SmoothedCutoff(), 12000.0);
  f.Process(0.0, 0);
  EXPECT_EQ(f.SmoothedCutoff(), 12000.0);  // equal: the smoother no longer runs
}

TEST(LadderFilter, SilenceAndBadInputStayFiniteAndNormal) {
  LadderFilter f = MakeFilter(44100.0, CodeForHz(800.0), 1.0, true);
  for (int i = 0; i < 2000; ++i) f.Process(i % 100 < 50 ? 1.0 : -1.0, 0);
  f.Process(std::numeric_limits<double>::quiet_NaN(), 0);
  f.Process(std::numeric_limits<double>::infinity(), 0);
  std::vector<double> tail;
  for (int i = 0; i < 10 * 44100; ++i) tail.push_back(f.Process(0.0, 0));
  EXPECT_TRUE(engine_test::AllNormalOrZero(tail));
  for (int s = 0; s < 4; ++s) {
    EXPECT_TRUE(std::isfinite(f.State(s)));
    EXPECT_LT(std::fabs(f.State(s)), 100.0);
  }
}

}  // namespace
}  // namespace engine
