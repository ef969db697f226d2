// Stereo bucket-brigade delay line: a fixed chain of cells clocked at a variable rate,
// 7 kHz anti-alias filters on both sides, cubic interpolation at both clock boundaries.
#pragma once

#include <array>
#include <vector>

#include "engine/Filter.h"

namespace engine {

// Catmull-Rom through p[0] ... p[3] at fraction x between p[1] and p[2].
inline double CatmullRom(const double* p, double x) {
  return p[1] + 0.5 * x * (p[2] - p[0]) + x * x * (p[0] - 2.5 * p[1] + 2.0 * p[2] - 0.5 * p[3]) +
         x * x * x * (0.5 * (p[3] - p[0]) + 1.5 * (p[1] - p[2]));
}

// About 1/rate cells are clocked per input sample, so the delay is N cells = `seconds` times
// rate (5 ... 40 ms for 0.04 s). Owned by the effects: Init on the dispatcher thread (it
// allocates), SetRate and Process on the audio thread.
class BrigadeDelay {
 public:
  BrigadeDelay();

  // N = integer part of sampleRate*seconds cells (at least 1), all cleared; filters set;
  // the rate taken from the current base rate. Allocates.
  void Init(double sampleRate, double seconds);

  // The rate the control tick modulates around (0.5 after a sample-rate change).
  void SetBaseRate(double rate) { baseRate_ = rate; }
  double BaseRate() const { return baseRate_; }

  // Rate for a modulation value: value limited to 0 ... 1 gives 0.125 ... 1.
  void SetRate(double value);
  double Rate() const { return rate_; }
  int CellCount() const { return cellCount_; }

  // One stereo sample through the line, in place.
  void Process(double& left, double& right);

 private:
  static void Push(double (&history)[4], double v) {
    history[0] = history[1];
    history[1] = history[2];
    history[2] = history[3];
    history[3] = v;
  }

  LowPass inLeft_;
  LowPass inRight_;
  LowPass outLeft_;
  LowPass outRight_;
  double inHistoryL_[4] = {};
  double inHistoryR_[4] = {};
  double outHistoryL_[4] = {};
  double outHistoryR_[4] = {};
  std::vector<std::array<double, 2>> cells_;
  int cellCount_ = 0;
  int writeIndex_ = 0;
  double clockPhase_ = 0.0;
  double rate_ = 1.0;  // clock phase per cell clock, 0.125 ... 1
  double inverseRate_ = 1.0;
  double baseRate_ = 0.0;
};

}  // namespace engine
