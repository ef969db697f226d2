// Second-order Butterworth sections: the ladder's cutoff smoother, the delay lines'
// anti-alias filters and the tape decoder's band limits.
#pragma once

#include "engine/dsp/Lanes.h"

#include <cfloat>
#include <cmath>

namespace engine {

// Zero, subnormal, infinite and NaN values all become 0, so no recursion ever carries a
// denormal or a non-finite value forward.
inline double FlushNonNormal(double x) {
  const double a = std::fabs(x);
  return (a >= DBL_MIN && a <= DBL_MAX) ? x : 0.0;
}

// A biquad with b2 = b0 (both Butterworth forms have that symmetry), in direct form I.
// Not thread-safe: one owner calls Set and Process. Set may allocate nothing and may be
// called on the audio thread; it clears the history.
class Filter {
 public:
  virtual ~Filter() = default;

  // sampleRate in Hz (> 0, else the section passes DC only), cutoffHz in Hz. Q = 1/sqrt(2).
  virtual void Set(double sampleRate, double cutoffHz) = 0;

  // Clears the four history values without touching the coefficients.
  void Reset() { x1_ = x2_ = y1_ = y2_ = 0.0; }

  // Sets all four history values to `level`: a low-pass then rests at `level`.
  void Preset(double level) { x1_ = x2_ = y1_ = y2_ = FlushNonNormal(level); }

  // One sample through the section; plain arithmetic, no allocation. Input and output are
  // both flushed, so the history only ever holds normal numbers or zero.
  double Process(double x) {
    x = FlushNonNormal(x);
    const double y = FlushNonNormal(b0_ * (x + x2_) + b1_ * x1_ + c1_ * y1_ + c2_ * y2_);
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

  // The history, for code that runs the section over lanes (BiquadLanes).
  void GetHistory(double& x1, double& x2, double& y1, double& y2) const {
    x1 = x1_;
    x2 = x2_;
    y1 = y1_;
    y2 = y2_;
  }
  void SetHistory(double x1, double x2, double y1, double y2) {
    x1_ = x1;
    x2_ = x2;
    y1_ = y1;
    y2_ = y2;
  }

  double C1() const { return c1_; }
  double C2() const { return c2_; }
  double B0() const { return b0_; }
  double B1() const { return b1_; }

 protected:
  // Shared part of Set: clears the history and answers cos(w) and 1/(1 + alpha) through
  // the feedback coefficients; subclasses fill b0 and b1.
  void SetFeedback(double sampleRate, double cutoffHz, double& cs, double& g);

  double c1_ = 0.0;  // feedback on y1
  double c2_ = 0.0;  // feedback on y2
  double b0_ = 0.0;  // on x and x2
  double b1_ = 0.0;  // on x1
  double x1_ = 0.0;
  double x2_ = 0.0;
  double y1_ = 0.0;
  double y2_ = 0.0;
};

// FlushNonNormal over lanes: zero, subnormal, infinite and NaN lanes become 0.
template <class L>
TESVAR_LANES_INLINE typename L::F64 FlushLanes(typename L::F64 x) {
  return L::Keep(L::IsNormal(x), x);
}

// Filter::Process over lanes: one section per lane, coefficients shared, the same operations
// in the same order.
template <class L>
struct BiquadLanes {
  using F = typename L::F64;
  F b0, b1, c1, c2;
  F x1, x2, y1, y2;

  void SetCoefficients(double b0x, double b1x, double c1x, double c2x) {
    b0 = L::Broadcast(b0x);
    b1 = L::Broadcast(b1x);
    c1 = L::Broadcast(c1x);
    c2 = L::Broadcast(c2x);
  }
  TESVAR_LANES_INLINE F Process(F x) {
    x = FlushLanes<L>(x);
    const F y = FlushLanes<L>(b0 * (x + x2) + b1 * x1 + c1 * y1 + c2 * y2);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

class LowPass final : public Filter {
 public:
  void Set(double sampleRate, double cutoffHz) override;
};

class HighPass final : public Filter {
 public:
  void Set(double sampleRate, double cutoffHz) override;
};

}  // namespace engine
