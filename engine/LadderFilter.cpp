// Ladder filter set-up and coefficient derivation.
#include "engine/LadderFilter.h"

#include <algorithm>
#include <cmath>

namespace engine {

LadderFilter::LadderFilter() : rates_(RateTables::For(44100.0)) { smoother_.Set(44100.0, 10.0); }

void LadderFilter::SetSampleRate(double sampleRate) {
  if (rates_->sampleRate != sampleRate) rates_ = RateTables::For(sampleRate);
  smoother_.Set(rates_->sampleRate, 10.0);
  cachedIndex_ = -1;
  s1_ = 0.0;
  s2_ = 1.0;
  s3_ = 0.0;
  s4_ = -1.0;
  g4_ = g_ = r_ = gain_ = norm_ = 0.0;
}

void LadderFilter::UpdateCoefficients(int c) {
  cachedIndex_ = c;
  const int i = std::clamp(c, 0, kMaxPitchCode);
  const double e = rates_->ladderW[i];
  const double q = rates_->ladderQ[i];
  const double r = resonance_;
  double f;
  if (mode24_) {
    // Resonance 0.5 doubles the output, 0 and 1 leave it at unity.
    const double h = std::fabs(r - 0.5);
    gain_ = 2.0 - (2.0 * h) * (2.0 * h);
    f = r;
  } else {
    gain_ = 1.0 + r * r;
    f = 0.75 * r * r;
  }
  k_ = f * q;
  g_ = e / (e + 2.0);
  r_ = (e - 2.0) / (e + 2.0);
  const double g2 = g_ * g_;
  g4_ = g2 * g2;
  // Solves y = prediction + G^4 * (x - k*y) for y (with the saturator taken as linear).
  norm_ = 1.0 / (1.0 + g4_ * k_);
}

}  // namespace engine
