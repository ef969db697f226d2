// Phaser coefficient sweep.
#include "engine/dsp/Phaser.h"

#include <cmath>
#include <numbers>

#include "engine/dsp/Lanes.h"

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

void Phaser::Process(double& left, double& right, double mix) {
  PhaserLanes<ArrayLanes<2>> lanes;
  lanes.Load(*this);
  const ArrayLanes<2>::F64 out = lanes.Process({{left, right}}, ArrayLanes<2>::Broadcast(mix));
  lanes.Save(*this);
  left = out.v[0];
  right = out.v[1];
}

}  // namespace engine
