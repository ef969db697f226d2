// Measured facts of one voice rendered through its signal path: pitch, octaves, DCO2
// interval and detune, cutoff tracking, resonance, and silence after release.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/dsp/Pitch.h"
#include "engine/dsp/RateTables.h"
#include "tests/engine/SignalMeasure.h"
#include "tests/engine/VoiceRig.h"

namespace engine {
namespace {

using engine_test::After;
using engine_test::AmplitudeAt;
using engine_test::Cents;
using engine_test::VoiceRig;
using engine_test::ZeroCrossingFrequency;

// Pitch of a steady note, from half a second after a tenth of a second of settling.
double MeasuredPitch(VoiceRig& rig, int note) {
  rig.Play(note);
  const std::vector<double> x = After(rig.Render(0.6), rig.rate(), 0.1);
  return ZeroCrossingFrequency(x, rig.rate(), 0.2);
}

// Frequency a pitch code actually plays at: the truncated increment.
double PlayedHz(double rate, int code) { return RateTables::For(rate)->increment[code] * rate / 134217728.0; }

class VoiceSignal : public ::testing::TestWithParam<double> {};

TEST_P(VoiceSignal, NoteSixtyNineIsFourFortyWithinOneCent) {
  VoiceRig rig(GetParam());
  const double hz = MeasuredPitch(rig, 69);
  EXPECT_NEAR(Cents(hz, 440.0), 0.0, 1.0) << hz;
  EXPECT_NEAR(Cents(hz, 440.0), 0.0, 0.1) << hz;  // the measurement is finer than that
}

TEST_P(VoiceSignal, Dco1FeetAreOctavesApart) {
  const double rate = GetParam();
  double hz[3];
  for (int octave = 0; octave < 3; ++octave) {
    VoiceRig rig(rate);
    rig.Set(8, octave);
    hz[octave] = MeasuredPitch(rig, 60);
  }
  EXPECT_NEAR(Cents(hz[1], hz[0]), 1200.0, 0.2);
  EXPECT_NEAR(Cents(hz[2], hz[1]), 1200.0, 0.2);
  EXPECT_NEAR(Cents(hz[1], PitchToFrequency(60 * 128)), 0.0, 0.2);
}

// DCO2 alone: with resonance 0 the ladder is linear, so a copy of the voice with DCO2 off
// rendered alongside cancels DCO1 exactly and leaves DCO2 through the filter.
double Dco2Pitch(double rate, int interval, double detune) {
  VoiceRig rig(rate);
  rig.Set(13, 2);  // square
  rig.Set(14, interval);
  rig.Set(15, detune);
  rig.Play(57);
  VoiceRig without = rig;
  without.Set(13, 0);
  const std::vector<double> a = rig.Render(0.6);
  const std::vector<double> b = without.Render(0.6);
  std::vector<double> d(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) d[i] = a[i] - b[i];
  return ZeroCrossingFrequency(After(d, rate, 0.1), rate, 0.2);
}

TEST_P(VoiceSignal, Dco2IntervalAndDetune) {
  const double rate = GetParam();
  const int semitones[5] = {0, 3, 4, 5, 7};
  for (int interval = 0; interval < 5; ++interval) {
    const double hz = Dco2Pitch(rate, interval, 1.0);
    const int code = 57 * 128 + semitones[interval] * 128;
    EXPECT_NEAR(Cents(hz, PlayedHz(rate, code)), 0.0, 0.2) << "interval " << interval;
    EXPECT_NEAR(Cents(hz, 220.0), semitones[interval] * 100.0, 1.0) << "interval " << interval;
  }
  // Full detune: 60 pitch code = 46.9 cents above the interval.
  const double detuned = Dco2Pitch(rate, 4, 6.0);
  EXPECT_NEAR(Cents(detuned, 220.0), 700.0 + 60.0 / 128.0 * 100.0, 1.0);
  EXPECT_NEAR(Cents(detuned, PlayedHz(rate, 57 * 128 + 7 * 128 + 60)), 0.0, 0.2);
}

// Level of harmonic n of note 36 relative to a plain sawtooth's 1/n, with cutoff tracking off.
struct Spectrum {
  std::vector<double> x;
  double f0, rate;
  double Relative(int n) const { return AmplitudeAt(x, rate, n * f0) * n / AmplitudeAt(x, rate, f0); }
};

Spectrum RenderNote36(double rate, double cutoffHz, double resonance, bool mode24) {
  VoiceRig rig(rate);
  rig.Set(18, 0.0);
  rig.Set(20, mode24 ? 1 : 0);
  rig.Set(17, resonance);
  // The ladder's corner lies at half the frequency of its cutoff code.
  const double code = 128.0 * (69.0 + 12.0 * std::log2(2.0 * cutoffHz / 440.0));
  rig.Set(16, code / 17280.0 * 63.0);
  rig.Play(36);
  return Spectrum{After(rig.Render(1.1), rate, 0.1), PlayedHz(rate, 36 * 128), rate};
}

TEST_P(VoiceSignal, CutoffTracksTheKnob) {
  const double rate = GetParam();
  for (double fc : {500.0, 1000.0, 2000.0}) {
    const Spectrum s = RenderNote36(rate, fc, 0.0, true);
    const int near = static_cast<int>(std::lround(fc / s.f0));
    // Four poles, each -3 dB at the cutoff: about a quarter there.
    EXPECT_NEAR(s.Relative(near), 0.25, 0.07) << "cutoff " << fc;
    EXPECT_GT(s.Relative(near / 4), 0.85) << "cutoff " << fc;
    EXPECT_LT(s.Relative(near * 3), 0.03) << "cutoff " << fc;
  }
  const Spectrum s12 = RenderNote36(rate, 1000.0, 0.0, false);
  const int near = static_cast<int>(std::lround(1000.0 / s12.f0));
  EXPECT_NEAR(s12.Relative(near), 0.5, 0.1);
  EXPECT_GT(s12.Relative(near * 3), 0.06);  // 12 dB per octave lets more through
  EXPECT_LT(s12.Relative(near * 3), 0.2);
}

TEST_P(VoiceSignal, FullResonanceInTwentyFourDecibelModeRingsButStaysBounded) {
  const double rate = GetParam();
  const Spectrum plain = RenderNote36(rate, 1000.0, 0.0, true);
  const Spectrum ringing = RenderNote36(rate, 1000.0, 7.0, true);
  double peak = 0.0;
  for (double v : ringing.x) {
    ASSERT_TRUE(std::isfinite(v));
    peak = std::max(peak, std::fabs(v));
  }
  EXPECT_LT(peak, 12.0);  // the saturator holds the loop
  const int near = static_cast<int>(std::lround(1000.0 / plain.f0));
  // Around the cutoff the loop gain is near 1: the harmonics there stand far above the rest.
  double best = 0.0;
  for (int n = near - 2; n <= near + 2; ++n) best = std::max(best, ringing.Relative(n));
  EXPECT_GT(best, 8.0 * plain.Relative(near));
}

TEST_P(VoiceSignal, SilenceAfterReleaseHasNoNanAndNoDenormals) {
  const double rate = GetParam();
  VoiceRig rig(rate);
  rig.Set(17, 7.0);
  rig.Set(20, 1);
  rig.Set(16, 40.0);
  rig.Play(48);
  rig.Render(0.5);
  rig.Release();
  const std::vector<double> tail = rig.Render(20.0);
  EXPECT_TRUE(engine_test::AllNormalOrZero(tail));
  EXPECT_FALSE(rig.voice().IsActive());
  EXPECT_EQ(tail.back(), 0.0);
  // Held with sustain 0 the voice ends by itself, also without subnormal samples.
  VoiceRig held(rate);
  held.Set(28, 0.0);
  held.Set(27, 0.0);
  held.Play(60);
  const std::vector<double> out = held.Render(5.0);
  EXPECT_TRUE(engine_test::AllNormalOrZero(out));
  EXPECT_FALSE(held.voice().IsActive());
}

INSTANTIATE_TEST_SUITE_P(Rates, VoiceSignal, ::testing::Values(44100.0, 48000.0));

// Regression: two instances at different rates in one process used to share one increment
// table and one pair of ladder tables, so whichever set its rate last detuned the other.
TEST(VoiceSignalInstances, TwoRatesInOneProcessBothPlayInTune) {
  VoiceRig low(44100.0);
  VoiceRig high(96000.0);  // set up after the first: used to overwrite its tables
  low.Play(69);
  high.Play(69);
  std::vector<double> a, b;
  for (int block = 0; block < 12; ++block) {
    const std::vector<double> x = low.Render(0.05);
    const std::vector<double> y = high.Render(0.05);
    a.insert(a.end(), x.begin(), x.end());
    b.insert(b.end(), y.begin(), y.end());
  }
  EXPECT_NEAR(Cents(ZeroCrossingFrequency(After(a, 44100.0, 0.1), 44100.0, 0.2), 440.0), 0.0, 0.1);
  EXPECT_NEAR(Cents(ZeroCrossingFrequency(After(b, 96000.0, 0.1), 96000.0, 0.2), 440.0), 0.0, 0.1);
  // The filter's cutoff is at the same frequency in both: same W/(W+2) for the same Hz.
  EXPECT_NEAR(low.patch().Rates().sampleRate, 44100.0, 0.0);
  EXPECT_NEAR(high.patch().Rates().sampleRate, 96000.0, 0.0);
}

}  // namespace
}  // namespace engine
