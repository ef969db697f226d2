// Four-stage ladder low-pass with a saturating resonance loop, 12 or 24 dB per octave.
#pragma once

#include <cfloat>
#include <cmath>
#include <memory>

#include "engine/Filter.h"
#include "engine/Pitch.h"
#include "engine/RateTables.h"

namespace engine {

// Each stage is a bilinear one-pole in transposed form (gain G = W/(W+2), state feedback
// R = (W-2)/(W+2)) with W = pi*f/rate for the cutoff code's frequency f: the analogue pole
// sits at angular frequency pi*f, so a stage's corner is at f/2 (the knob's top, 19.9 kHz,
// opens the filter to about 10 kHz). The loop around the four stages is solved by predicting the fourth
// stage's output linearly, saturating the prediction and feeding it back with gain k.
// Owned by one voice: SetSampleRate on the dispatcher thread (may allocate), the rest on the
// audio thread.
class LadderFilter {
 public:
  LadderFilter();

  // New rate: the tables for it, the 10 Hz cutoff smoother, the stage states restarted.
  void SetSampleRate(double sampleRate);

  // Resting cutoff in pitch code (0 ... 17280; the smoother glides towards it).
  void SetCutoffTarget(double code) { cutoffTarget_ = code; }
  // Resonance 0 ... 1 ("VCF Resonance" normalised).
  void SetResonance(double r) {
    resonance_ = r;
    cachedIndex_ = -1;
  }
  void Set24dB(bool on) {
    mode24_ = on;
    cachedIndex_ = -1;
  }
  // Note-on: start at the resting cutoff instead of gliding from the last one.
  void PresetCutoff() {
    smoother_.Preset(cutoffTarget_);
    smoothedCutoff_ = cutoffTarget_;
  }

  // One sample; m = cutoff modulation in pitch code, added to the smoothed cutoff.
  double Process(double x, int m) {
    if (smoothedCutoff_ != cutoffTarget_) smoothedCutoff_ = smoother_.Process(cutoffTarget_);
    const double wanted = static_cast<double>(m) + smoothedCutoff_;
    // Codes beyond the tables read the end entries; clamping first keeps the rounding in
    // range without changing which entry is read.
    const int c = static_cast<int>(RoundHalfAway(wanted < -1.0 ? -1.0 : (wanted > 17281.0 ? 17281.0 : wanted)));
    if (c != cachedIndex_) UpdateCoefficients(c);

    delta_ = -delta_;
    const double d = delta_;
    double s1 = s1_, s2 = s2_, s3 = s3_, s4 = s4_;
    // Normally everything is a normal number and only the dither is added; the checks run
    // beside the recursion instead of on its critical path.
    if (IsNormal(x) & IsNormal(s1) & IsNormal(s2) & IsNormal(s3) & IsNormal(s4)) {
      x += d;
      s1 += d;
      s2 += d;
      s3 += d;
      s4 += d;
    } else {
      x = Dither(x);
      s1 = Dither(s1);
      s2 = Dither(s2);
      s3 = Dither(s3);
      s4 = Dither(s4);
    }
    const double g = g_;
    const double y = (((s1 * g + s2) * g + s3) * g + s4 + x * g4_) * norm_;
    const double sat = Saturate(y);
    const double u = (x - k_ * sat) * g;
    const double o1 = s1 + u;
    s1 = u - r_ * o1;
    const double u2 = g * o1;
    const double o2 = s2 + u2;
    s2 = u2 - r_ * o2;
    const double u3 = g * o2;
    const double o3 = s3 + u3;
    s3 = u3 - r_ * o3;
    const double u4 = g * o3;
    const double o4 = s4 + u4;
    s4 = u4 - r_ * o4;
    s1_ = s1;
    s2_ = s2;
    s3_ = s3;
    s4_ = s4;
    return (mode24_ ? y : o2) * gain_;
  }

  // Output of the four stages after the last Process call, for tests.
  double State(int stage) const { return stage == 0 ? s1_ : stage == 1 ? s2_ : stage == 2 ? s3_ : s4_; }
  double G() const { return g_; }
  double R() const { return r_; }
  double K() const { return k_; }
  double Gain() const { return gain_; }
  double Normaliser() const { return norm_; }
  double SmoothedCutoff() const { return smoothedCutoff_; }
  double CutoffTarget() const { return cutoffTarget_; }
  bool Is24dB() const { return mode24_; }
  double SampleRate() const { return rates_->sampleRate; }

  // The soft clipper of the feedback path: odd, about y for small y, +-5 beyond |y| = 15.
  static double Saturate(double y) {
    const double t = 0.2 * y;
    return t < -3.0 ? -5.0 : (t > 3.0 ? 5.0 : (t * t + 27.0) * 5.0 * t / (9.0 * t * t + 27.0));
  }

 private:
  void UpdateCoefficients(int c);
  static bool IsNormal(double v) {
    const double a = std::fabs(v);
    return a >= DBL_MIN && a <= DBL_MAX;
  }
  // Adds the alternating dither to a normal value, zeroes anything else.
  double Dither(double v) const { return IsNormal(v) ? v + delta_ : 0.0; }

  std::shared_ptr<const RateTables> rates_;
  LowPass smoother_;
  bool mode24_ = false;
  double cutoffTarget_ = 0.0;
  double resonance_ = 0.0;
  double g4_ = 0.0;
  double g_ = 0.0;
  double r_ = 0.0;
  double k_ = 0.0;
  double gain_ = 0.0;
  double norm_ = 0.0;
  int cachedIndex_ = -1;
  double s1_ = 0.0;
  double s2_ = 1.0;
  double s3_ = 0.0;
  double s4_ = -1.0;
  double smoothedCutoff_ = 0.0;
  double delta_ = 1e-13;
};

}  // namespace engine
