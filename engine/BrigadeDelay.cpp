// Bucket-brigade delay: set-up and the clocked cell chain.
#include "engine/BrigadeDelay.h"

#include <algorithm>
#include <cmath>

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
  Push(inHistoryL_, inLeft_.Process(left));
  Push(inHistoryR_, inRight_.Process(right));
  // Clock cells until the clock passes this sample: each clock writes the input interpolated
  // at the clock's position and reads out the oldest cell.
  while (clockPhase_ < 1.0) {
    if (--writeIndex_ < 0) writeIndex_ = cellCount_ - 1;
    std::array<double, 2>& cell = cells_[static_cast<std::size_t>(writeIndex_)];
    const double vl = CatmullRom(inHistoryL_, clockPhase_);
    const double vr = CatmullRom(inHistoryR_, clockPhase_);
    Push(outHistoryL_, outLeft_.Process(cell[0]));
    Push(outHistoryR_, outRight_.Process(cell[1]));
    cell[0] = vl;
    cell[1] = vr;
    clockPhase_ += rate_;
  }
  clockPhase_ -= 1.0;
  // Resample the cell clock back to the sample clock.
  const double x = 1.0 - clockPhase_ * inverseRate_;
  left = CatmullRom(outHistoryL_, x);
  right = CatmullRom(outHistoryR_, x);
}

}  // namespace engine
