// Butterworth coefficient set-up for the second-order sections.
#include "engine/dsp/Filter.h"

#include <numbers>

namespace engine {

void Filter::SetFeedback(double sampleRate, double cutoffHz, double& cs, double& g) {
  Reset();
  const double w = (sampleRate > 0.0 ? 2.0 * std::numbers::pi / sampleRate : 0.0) * cutoffHz;
  cs = std::cos(w);
  // alpha = sin(w) / (2Q) with Q = 1/sqrt(2).
  const double alpha = std::sin(w) / std::numbers::sqrt2;
  g = 1.0 / (1.0 + alpha);
  c1_ = 2.0 * cs * g;
  c2_ = (alpha - 1.0) * g;
}

void LowPass::Set(double sampleRate, double cutoffHz) {
  double cs = 0.0;
  double g = 0.0;
  SetFeedback(sampleRate, cutoffHz, cs, g);
  b0_ = (1.0 - cs) / 2.0 * g;
  b1_ = (1.0 - cs) * g;
}

void HighPass::Set(double sampleRate, double cutoffHz) {
  double cs = 0.0;
  double g = 0.0;
  SetFeedback(sampleRate, cutoffHz, cs, g);
  b0_ = (1.0 + cs) / 2.0 * g;
  b1_ = -(1.0 + cs) * g;
}

}  // namespace engine
