// Oscillator: increments per rate, table selection, pulse mode, frozen phase when off.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/engine/SingleBlocks.h"
#include "engine/dsp/Pitch.h"
#include "engine/dsp/RateTables.h"

namespace engine {
namespace {

constexpr double kPhaseUnits = 134217728.0;  // 2^27

std::int32_t ExpectedIncrement(int code, double rate) {
  return static_cast<std::int32_t>(std::trunc(PitchToFrequency(code) * kPhaseUnits / rate));
}

TEST(RateTables, IncrementsFollowPitchAndRate) {
  for (double rate : {1000.0, 44100.0, 48000.0, 96000.0, 768000.0}) {
    auto tables = RateTables::For(rate);
    EXPECT_EQ(tables->sampleRate, rate);
    for (int code : {0, 1, 6000, 8832, 12345, 17280}) {
      if (rate < 2000.0) break;  // the top steps are clamped there (below)
      EXPECT_EQ(tables->increment[code], ExpectedIncrement(code, rate)) << "rate " << rate << " code " << code;
    }
    // The stored table choice is the search's answer for every code's increment, the
    // clamped ones included.
    for (int code = 0; code < kPitchCodeCount; ++code) {
      ASSERT_EQ(tables->table[code], Wavetables::TableForIncrement(tables->increment[code]))
          << "rate " << rate << " code " << code;
    }
  }
  // Note 69 at 44100 Hz: 440 * 2^27 / 44100 = 1339133.79...
  EXPECT_EQ(RateTables::For(44100.0)->increment[8832], 1339133);
}

TEST(RateTables, OneImmutableSetPerRate) {
  auto a = RateTables::For(44100.0);
  auto b = RateTables::For(96000.0);
  EXPECT_EQ(a, RateTables::For(44100.0));
  EXPECT_NE(a.get(), b.get());
  // Building the 96 kHz set left the 44.1 kHz one as it was.
  EXPECT_EQ(a->increment[8832], 1339133);
  // Rates that are not positive finite numbers get the 44.1 kHz set.
  EXPECT_EQ(RateTables::For(0.0)->sampleRate, 44100.0);
  EXPECT_EQ(RateTables::For(std::nan(""))->sampleRate, 44100.0);
  // Very low rates clamp the step instead of overflowing it.
  EXPECT_EQ(RateTables::For(100.0)->increment[17280], INT32_MAX);
}

TEST(Oscillator, TableSelectionKeepsHarmonicsBelowNyquist) {
  EXPECT_EQ(Wavetables::TableForIncrement(0), 0);
  EXPECT_EQ(Wavetables::TableForIncrement((1 << 17) - 1), 0);  // under 2 entries per sample
  EXPECT_EQ(Wavetables::TableForIncrement(3 << 16), 4);        // 3 -> 2.12 -> 1.5 -> 1.06 -> 0.75
  EXPECT_EQ(Wavetables::TableForIncrement(2047 << 16), 21);
  EXPECT_EQ(Wavetables::TableForIncrement(INT32_MAX), 21);
  int previous = 0;
  for (std::int32_t inc = 0; inc < (1 << 27); inc += 4099) {
    const int t = Wavetables::TableForIncrement(inc);
    ASSERT_GE(t, previous);
    previous = t;
    // Highest harmonic times the (truncated) step in entries stays near half the table; the
    // rounded counts (3 in table 17, 6 in 15) let it pass Nyquist by at most about 6 %.
    if (t < 21) {
      ASSERT_LE(Wavetables::HarmonicCount(t) * (inc >> 16), 1090) << "increment " << inc;
    }
  }
}

TEST(Oscillator, PitchUsesOffsetsAndClampsToTheTable) {
  Oscillator osc;
  auto tables = RateTables::For(44100.0);
  osc.SetOctave(1);
  osc.SetPitch(69 * 128, 1.0);
  EXPECT_EQ(osc.Increment(), tables->increment[8832]);
  osc.SetOctave(0);  // 16': an octave down
  osc.SetIntervalOffset(7 * 128);
  EXPECT_EQ(osc.PitchOffset(), -1536 + 896);
  osc.SetPitch(69 * 128, 1.0);
  EXPECT_EQ(osc.Increment(), tables->increment[8832 - 1536 + 896]);
  osc.SetPitch(-5000, 1.0);
  EXPECT_EQ(osc.Increment(), tables->increment[0]);
  osc.SetPitch(30000, 1.0);
  EXPECT_EQ(osc.Increment(), tables->increment[17280]);
  EXPECT_EQ(osc.TableIndex(), Wavetables::TableForIncrement(tables->increment[17280]));
}

TEST(Oscillator, StartsInTheFirstHalfCycle) {
  for (int i = 0; i < 20; ++i) {
    Oscillator osc;
    EXPECT_LT(osc.Phase(), 1u << 26);
    EXPECT_EQ(osc.Increment(), 0);
  }
}

TEST(Oscillator, WidthOnePlaysTheSquareTable) {
  Oscillator osc;
  osc.SetWaveCode(kWaveSquare);
  osc.SetOctave(1);
  osc.SetPitch(57 * 128, 1.0);
  EXPECT_FALSE(osc.PulseMode());
  const double* sq = Wavetables::Get().Table(kWaveSquare, osc.TableIndex());
  for (int i = 0; i < 200; ++i) {
    const std::uint32_t phase = osc.Phase();
    ASSERT_EQ(osc.Render(), sq[phase >> 16]);
  }
}

// Fraction of a cycle at the low level of the pulse: width/2 (width 1 is a 50 % square).
double LowFraction(double width) {
  Oscillator osc;
  osc.SetWaveCode(kWaveSquare);
  osc.SetOctave(1);
  osc.SetPitch(45 * 128, width);  // 110 Hz: many harmonics, sharp edges
  int low = 0;
  const int n = 44100;
  for (int i = 0; i < n; ++i) low += osc.Render() < -0.5 ? 1 : 0;
  return static_cast<double>(low) / n;
}

TEST(Oscillator, PulseWidthSetsTheDutyCycle) {
  EXPECT_NEAR(LowFraction(0.15), 0.075, 0.01);
  EXPECT_NEAR(LowFraction(0.5), 0.25, 0.01);
  EXPECT_NEAR(LowFraction(0.999), 0.4995, 0.01);
}

TEST(Oscillator, PulseOfWidthZeroIsSilent) {
  Oscillator osc;
  osc.SetWaveCode(kWaveSquare);
  osc.SetPitch(60 * 128, 0.0);
  EXPECT_TRUE(osc.PulseMode());
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(osc.Render(), 0.0);
  // Out-of-range widths are limited: above 1 is the plain square, NaN a closed pulse.
  osc.SetPitch(60 * 128, 3.0);
  EXPECT_FALSE(osc.PulseMode());
  osc.SetPitch(60 * 128, std::nan(""));
  EXPECT_TRUE(osc.PulseMode());
  EXPECT_EQ(osc.SecondPhase(), osc.Phase());
}

TEST(Oscillator, OffKeepsItsPhaseFrozen) {
  Oscillator osc;
  osc.SetPitch(60 * 128, 1.0);
  for (int i = 0; i < 100; ++i) osc.Render();
  osc.SetWaveCode(kWaveOff);
  const std::uint32_t frozen = osc.Phase();
  const std::uint32_t frozen2 = osc.SecondPhase();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(osc.Render(), 0.0);
  EXPECT_EQ(osc.Phase(), frozen);
  EXPECT_EQ(osc.SecondPhase(), frozen2);
  osc.SetWaveCode(kWaveSaw);
  osc.Render();
  EXPECT_EQ(osc.Phase(), (frozen + static_cast<std::uint32_t>(osc.Increment())) & Oscillator::kPhaseMask);
  osc.SetWaveCode(42);  // unknown codes are silent rather than reading outside the store
  EXPECT_EQ(osc.WaveCode(), kWaveOff);
}

// Regression: the increment table used to be one process-wide array rewritten whenever any
// instance saw a new rate, so an instance at another rate played at the wrong pitch (and
// raced with the writer). Here one thread keeps switching its oscillator between rates while
// another checks that its own 44.1 kHz increments never change.
TEST(Oscillator, RateChangesElsewhereNeverDisturbAnotherInstance) {
  Oscillator steady;
  steady.SetSampleRate(44100.0);
  const std::int32_t expected = ExpectedIncrement(8832 - 1536, 44100.0);  // default 16'
  std::atomic<bool> done{false};
  std::thread switcher([&] {
    Oscillator other;
    for (int i = 0; i < 60; ++i) {
      other.SetSampleRate(i % 2 ? 96000.0 : 48000.0);
      other.SetPitch(8832, 1.0);
    }
    done = true;
  });
  int wrong = 0;
  int checks = 0;
  while (!done || checks == 0) {
    steady.SetPitch(8832, 1.0);
    wrong += steady.Increment() != expected ? 1 : 0;
    ++checks;
  }
  switcher.join();
  EXPECT_EQ(wrong, 0) << "of " << checks;
}

}  // namespace
}  // namespace engine
