// Bucket-brigade delay: set-up and the clocked cell chain.
#include "engine/dsp/BrigadeDelay.h"

#include <algorithm>
#include <cmath>

#include "engine/dsp/Lanes.h"

namespace engine {

BrigadeDelay::BrigadeDelay() { Init(44100.0, 0.04); }

void BrigadeDelay::Init(double sampleRate, double seconds) {
  // A rate that is not a positive finite number counts as 44.1 kHz; above 1 MHz the line
  // keeps the length it would have there rather than allocating without bound.
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) sampleRate = 44100.0;
  const double cells = std::min(sampleRate, 1e6) * std::max(seconds, 0.0);
  cellCount_ = cells >= 1.0 ? static_cast<int>(cells) : 1;
  cells_.assign(static_cast<std::size_t>(cellCount_), {0.0, 0.0});
  rate_ = inverseRate_ = 1.0;
  writeIndex_ = 0;
  clockPhase_ = 0.0;
  inLeft_.Set(sampleRate, 7000.0);
  inRight_.Set(sampleRate, 7000.0);
  outLeft_.Set(sampleRate, 7000.0);
  outRight_.Set(sampleRate, 7000.0);
  SetRate(baseRate_);
}

void BrigadeDelay::SetRate(double value) {
  // NaN counts as 0: the clock loop below must always advance.
  const double v = value > 0.0 ? std::min(value, 1.0) : 0.0;
  rate_ = v * 0.875 + 0.125;
  inverseRate_ = 1.0 / rate_;
}

void BrigadeDelay::Process(double& left, double& right) {
  BrigadeDelayLanes<ArrayLanes<2>> lanes;
  lanes.Load(*this);
  lanes.Input({{left, right}});
  CatmullRomTerms<ArrayLanes<2>> input;
  input.From(lanes.inHistory);
  const ArrayLanes<2>::F64 out = lanes.Clock(*this, input);
  lanes.Save(*this);
  left = out.v[0];
  right = out.v[1];
}

}  // namespace engine
