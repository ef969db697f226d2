// Phaser coefficient sweep.
#include "engine/Phaser.h"

#include <cmath>
#include <numbers>

namespace engine {

void Phaser::SetSampleRate(double sampleRate) {
  const bool usable = sampleRate > 0.0 && std::isfinite(sampleRate);
  maxCoefficient_ = 2.0 * std::numbers::pi * 12000.0 / (usable ? sampleRate : 44100.0);
  a1_ = a2_ = a3_ = a4_ = a4Power_ = feedback_ = norm_ = 0.0;
  left_ = Channel{};
  right_ = Channel{};
}

void Phaser::Update(double sweep, double feedback) {
  const double x = sweep + kMinimumSweep;
  const double w = x < 0.0 ? 0.0 : (x >= 1.0 ? maxCoefficient_ : x * maxCoefficient_);
  const double a = (w - 2.0) / (w + 2.0);
  a1_ = a2_ = a3_ = a4_ = a;
  const double a2 = a * a;
  a4Power_ = a2 * a2;
  feedback_ = feedback * 0.999;
  norm_ = 1.0 / (feedback_ * a4Power_ + 1.0);
}

}  // namespace engine
