// Bucket-brigade delay, phaser and the three effect modes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <span>
#include <vector>

#include "engine/Effects.h"
#include "engine/EngineSettings.h"
#include "engine/Voice.h"
#include "tests/engine/SignalMeasure.h"

namespace engine {
namespace {

// Sample index of the largest output after a one-sample click into the left channel.
int ClickDelay(BrigadeDelay& d, int length) {
  int best = 0;
  double peak = 0.0;
  for (int i = 0; i < length; ++i) {
    double l = i == 0 ? 1.0 : 0.0, r = 0.0;
    d.Process(l, r);
    EXPECT_TRUE(std::isfinite(l));
    EXPECT_EQ(r, 0.0);  // channels stay apart
    if (std::fabs(l) > peak) {
      peak = std::fabs(l);
      best = i;
    }
  }
  return best;
}

TEST(BrigadeDelay, DelayIsCellCountTimesRate) {
  for (double rate : {44100.0, 96000.0}) {
    for (double value : {0.0, 0.5, 1.0}) {
      BrigadeDelay d;
      d.Init(rate, 0.04);
      d.SetRate(value);
      EXPECT_EQ(d.CellCount(), static_cast<int>(rate * 0.04));
      const double expected = d.CellCount() * d.Rate();  // N clocks of 1/rate per sample
      // The two 7 kHz filters and the interpolations add a few samples, never take any away.
      const int measured = ClickDelay(d, static_cast<int>(rate * 0.05));
      EXPECT_GE(measured, expected - 1) << "rate " << rate << " value " << value;
      EXPECT_LE(measured, expected + 10) << "rate " << rate << " value " << value;
    }
  }
}

TEST(BrigadeDelay, UnusableSampleRatesGetABoundedLine) {
  BrigadeDelay d;
  d.Init(std::numeric_limits<double>::infinity(), 0.04);
  EXPECT_EQ(d.CellCount(), 1764);
  d.Init(-1.0, 0.04);
  EXPECT_EQ(d.CellCount(), 1764);
  d.Init(1e12, 0.04);
  EXPECT_EQ(d.CellCount(), 40000);
  d.Init(10.0, 0.04);
  EXPECT_EQ(d.CellCount(), 1);
  double l = 1.0, r = 1.0;
  for (int i = 0; i < 100; ++i) d.Process(l, r);
  EXPECT_TRUE(std::isfinite(l) && std::isfinite(r));
}

TEST(BrigadeDelay, RateIsLimitedToItsRange) {
  BrigadeDelay d;
  d.SetRate(-3.0);
  EXPECT_EQ(d.Rate(), 0.125);
  d.SetRate(7.0);
  EXPECT_EQ(d.Rate(), 1.0);
  d.SetRate(std::nan(""));
  EXPECT_EQ(d.Rate(), 0.125);
  d.SetRate(0.5);
  EXPECT_EQ(d.Rate(), 0.5625);
}

TEST(Phaser, SweepSaturatesAndFeedbackIsScaled) {
  Phaser p;
  p.SetSampleRate(44100.0);
  const double maxW = 2.0 * std::numbers::pi * 12000.0 / 44100.0;
  EXPECT_NEAR(p.MaximumCoefficient(), maxW, 1e-15);
  p.Update(0.98, 1.0);  // 0.98 + 0.02 reaches 1
  EXPECT_NEAR(p.Coefficient(), (maxW - 2.0) / (maxW + 2.0), 1e-15);
  EXPECT_NEAR(p.ScaledFeedback(), 0.999, 1e-15);
  p.Update(25.0, -1.0);
  EXPECT_NEAR(p.Coefficient(), (maxW - 2.0) / (maxW + 2.0), 1e-15);
  EXPECT_NEAR(p.ScaledFeedback(), -0.999, 1e-15);
  p.Update(0.0, 0.5);  // the minimum sweep keeps the notch off DC
  const double w = 0.02 * maxW;
  const double a = (w - 2.0) / (w + 2.0);
  EXPECT_NEAR(p.Coefficient(), a, 1e-15);
  EXPECT_NEAR(p.ChainGain(), a * a * a * a, 1e-15);
  EXPECT_NEAR(p.Normaliser(), 1.0 / (0.4995 * a * a * a * a + 1.0), 1e-15);
}

TEST(Phaser, AllPassChainKeepsTheLevelAndFeedbackStaysBounded) {
  const double rate = 48000.0;
  for (double hz : {200.0, 1000.0, 5000.0}) {
    Phaser p;
    p.SetSampleRate(rate);
    p.Update(0.3, 0.0);
    std::vector<double> out;
    for (int i = 0; i < 24000; ++i) {
      double l = 0.5 * std::sin(2.0 * std::numbers::pi * hz * i / rate), r = l;
      p.Process(l, r, 1.0);
      if (i >= 12000) out.push_back(l);
    }
    EXPECT_NEAR(engine_test::AmplitudeAt(out, rate, hz), 0.5, 0.01) << hz;
  }
  for (double feedback : {-1.0, 1.0}) {
    Phaser p;
    p.SetSampleRate(rate);
    double peak = 0.0;
    for (int i = 0; i < 48000; ++i) {
      if (i % 48 == 0) p.Update(0.5 + 0.5 * std::sin(i * 0.0005), feedback);
      double l = (i % 97) / 48.0 - 1.0, r = -l;
      p.Process(l, r, 0.5);
      ASSERT_TRUE(std::isfinite(l) && std::isfinite(r));
      peak = std::max(peak, std::fabs(l));
    }
    EXPECT_LT(peak, 100.0) << feedback;
  }
}

EngineSettings EffectsSettings(int mode, double speed) {
  EngineSettings s;
  s.Apply(35, speed, speed);
  s.Apply(34, mode, mode / 3.0);
  return s;
}

TEST(Effects, ChorusRateStaysWithinItsBand) {
  Effects fx;
  fx.SetSampleRate(44100.0);
  EXPECT_EQ(fx.Chorus().Rate(), 0.125);  // computed from the previous base rate until a tick
  for (double amount : {0.0, 1.0}) {
    EngineSettings s = EffectsSettings(1, 1.0);
    s.Apply(39, amount, amount);
    for (int tick = 0; tick < 3000; ++tick) {
      fx.Tick(s);
      ASSERT_GE(fx.Chorus().Rate(), 0.5625 - 1e-12);
      ASSERT_LE(fx.Chorus().Rate(), 0.7375 + 1e-12);
    }
  }
}

TEST(Effects, EnsembleWithoutIntensityStaysAtTheBaseRate) {
  Effects fx;
  fx.SetSampleRate(48000.0);
  const EngineSettings s = EffectsSettings(3, 0.0);
  for (int tick = 0; tick < 100; ++tick) fx.Tick(s);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(fx.Ensemble(k).Rate(), 0.5625) << k;
  // With intensity the three lines move apart.
  const EngineSettings full = EffectsSettings(3, 1.0);
  fx.Tick(full);
  EXPECT_NE(fx.Ensemble(0).Rate(), fx.Ensemble(1).Rate());
  EXPECT_NE(fx.Ensemble(1).Rate(), fx.Ensemble(2).Rate());
}

TEST(Effects, EnsembleCarriesNoDrySignal) {
  Effects fx;
  fx.SetSampleRate(44100.0);
  const EngineSettings s = EffectsSettings(3, 0.0);
  fx.Tick(s);
  const int delay = static_cast<int>(1764 * 0.5625);  // about 992 samples
  double early = 0.0, late = 0.0;
  for (int i = 0; i < 2 * delay; ++i) {
    double l = i == 0 ? 1.0 : 0.0, r = l;
    fx.ProcessBlock(s, &l, &r, 1);
    if (i < delay - 10) {
      early = std::max(early, std::fabs(l));
    } else {
      late = std::max(late, std::fabs(l));
    }
  }
  EXPECT_LT(early, 1e-9);
  // Three identical lines at 0.333 each sum to about the dry level after filtering.
  EXPECT_GT(late, 0.3);
  EXPECT_LT(late, 1.0);
}

TEST(Effects, OffAndChorusMixZeroPassTheDrySignal) {
  Effects fx;
  fx.SetSampleRate(44100.0);
  EngineSettings off = EffectsSettings(0, 0.5);
  double l = 0.25, r = -0.5;
  fx.ProcessBlock(off, &l, &r, 1);
  EXPECT_EQ(l, 0.25);
  EXPECT_EQ(r, -0.5);
  EngineSettings chorus = EffectsSettings(1, 0.5);
  chorus.Apply(40, 0.0, 0.0);
  fx.Tick(chorus);
  fx.ProcessBlock(chorus, &l, &r, 1);
  EXPECT_EQ(l, 0.25);
  EXPECT_EQ(r, -0.5);
}

}  // namespace
}  // namespace engine
