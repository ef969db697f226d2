// Stereo bucket-brigade delay line: a fixed chain of cells clocked at a variable rate,
// 7 kHz anti-alias filters on both sides, cubic interpolation at both clock boundaries.
#pragma once

#include "engine/dsp/Lanes.h"

#include <array>
#include <vector>

#include "engine/dsp/Filter.h"

namespace engine {

// Catmull-Rom through p[0] ... p[3] at fraction x between p[1] and p[2], over lanes (the
// same operations for a plain double in ArrayLanes<1>).
template <class L>
typename L::F64 CatmullRomLanes(const typename L::F64* p, typename L::F64 x) {
  using F = typename L::F64;
  const F half = L::Broadcast(0.5);
  return p[1] + half * x * (p[2] - p[0]) +
         x * x * (p[0] - L::Broadcast(2.5) * p[1] + L::Broadcast(2.0) * p[2] - half * p[3]) +
         x * x * x * (half * (p[3] - p[0]) + L::Broadcast(1.5) * (p[1] - p[2]));
}

// CatmullRomLanes through one set of four points at many fractions: the terms without x
// are worked out once, the sum keeps the same operations in the same order.
template <class L>
struct CatmullRomTerms {
  using F = typename L::F64;
  F p1, d, c2, c3;

  TESVAR_LANES_INLINE void From(const F* p) {
    const F half = L::Broadcast(0.5);
    p1 = p[1];
    d = p[2] - p[0];
    c2 = p[0] - L::Broadcast(2.5) * p[1] + L::Broadcast(2.0) * p[2] - half * p[3];
    c3 = half * (p[3] - p[0]) + L::Broadcast(1.5) * (p[1] - p[2]);
  }
  TESVAR_LANES_INLINE F At(double x) const {
    const double xx = x * x;
    return p1 + L::Broadcast(0.5 * x) * d + L::Broadcast(xx) * c2 + L::Broadcast(xx * x) * c3;
  }
};

template <class L2>
struct BrigadeDelayLanes;

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
  template <class L2>
  friend struct BrigadeDelayLanes;

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

// A line with its two channels side by side in a two-lane set (left in lane 0). Load, run
// any number of samples, Save. The input side (filter and history) and the clocked side are
// separate steps, so that lines fed the same input can share one input side.
template <class L2>
struct BrigadeDelayLanes {
  using F = typename L2::F64;
  BiquadLanes<L2> in, out;
  F inHistory[4], outHistory[4];

  void Load(const BrigadeDelay& d) {
    LoadFilter(in, d.inLeft_, d.inRight_);
    LoadFilter(out, d.outLeft_, d.outRight_);
    for (int k = 0; k < 4; ++k) {
      const double a[2] = {d.inHistoryL_[k], d.inHistoryR_[k]};
      const double b[2] = {d.outHistoryL_[k], d.outHistoryR_[k]};
      inHistory[k] = L2::Load(a);
      outHistory[k] = L2::Load(b);
    }
  }
  void Save(BrigadeDelay& d) const {
    SaveFilter(in, d.inLeft_, d.inRight_);
    SaveFilter(out, d.outLeft_, d.outRight_);
    for (int k = 0; k < 4; ++k) {
      double a[2], b[2];
      L2::Store(a, inHistory[k]);
      L2::Store(b, outHistory[k]);
      d.inHistoryL_[k] = a[0];
      d.inHistoryR_[k] = a[1];
      d.outHistoryL_[k] = b[0];
      d.outHistoryR_[k] = b[1];
    }
  }

  static TESVAR_LANES_INLINE void Push(F* history, F v) {
    history[0] = history[1];
    history[1] = history[2];
    history[2] = history[3];
    history[3] = v;
  }

  // The input side of one sample.
  TESVAR_LANES_INLINE void Input(F x) { Push(inHistory, in.Process(x)); }

  // The clocked side of one sample, reading `input` (the terms of this line's history or
  // of a shared one):
  // clock cells until the clock passes this sample, each clock writing the input
  // interpolated at the clock's position and reading out the oldest cell; then resample the
  // cell clock back to the sample clock.
  TESVAR_LANES_INLINE F Clock(BrigadeDelay& d, const CatmullRomTerms<L2>& input) {
    double phase = d.clockPhase_;
    int index = d.writeIndex_;
    const int count = d.cellCount_;
    const double rate = d.rate_;
    std::array<double, 2>* cells = d.cells_.data();
    while (phase < 1.0) {
      if (--index < 0) index = count - 1;
      double* cell = cells[index].data();
      const F v = input.At(phase);
      Push(outHistory, out.Process(L2::Load(cell)));
      L2::Store(cell, v);
      phase += rate;
    }
    phase -= 1.0;
    d.clockPhase_ = phase;
    d.writeIndex_ = index;
    return CatmullRomLanes<L2>(outHistory, L2::Broadcast(1.0 - phase * d.inverseRate_));
  }

 private:
  static void LoadFilter(BiquadLanes<L2>& f, const Filter& left, const Filter& right) {
    f.SetCoefficients(left.B0(), left.B1(), left.C1(), left.C2());
    double h[4][2];
    left.GetHistory(h[0][0], h[1][0], h[2][0], h[3][0]);
    right.GetHistory(h[0][1], h[1][1], h[2][1], h[3][1]);
    f.x1 = L2::Load(h[0]);
    f.x2 = L2::Load(h[1]);
    f.y1 = L2::Load(h[2]);
    f.y2 = L2::Load(h[3]);
  }
  static void SaveFilter(const BiquadLanes<L2>& f, Filter& left, Filter& right) {
    double h[4][2];
    L2::Store(h[0], f.x1);
    L2::Store(h[1], f.x2);
    L2::Store(h[2], f.y1);
    L2::Store(h[3], f.y2);
    left.SetHistory(h[0][0], h[1][0], h[2][0], h[3][0]);
    right.SetHistory(h[0][1], h[1][1], h[2][1], h[3][1]);
  }
};

}  // namespace engine
