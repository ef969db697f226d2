// Stereo four-stage all-pass phaser with feedback around the chain.
#pragma once

#include "engine/dsp/Lanes.h"

#include <cfloat>

#include "engine/dsp/Filter.h"

namespace engine {

template <class L2>
struct PhaserLanes;

// All four stages share one first-order all-pass coefficient a = (w-2)/(w+2), swept per
// tick; the feedback loop is solved with the chain's instantaneous gain a^4. Owned by the
// effects: SetSampleRate on the dispatcher thread, the rest on the audio thread.
class Phaser {
 public:
  static constexpr double kMinimumSweep = 0.02;

  // Maximum coefficient 2*pi*12000/sampleRate; coefficients and states cleared.
  void SetSampleRate(double sampleRate);

  // Control tick: sweep x (>= 0; 1 and above saturate at the maximum coefficient) and
  // feedback -1 ... 1 (scaled by 0.999 so the loop stays stable).
  void Update(double sweep, double feedback);

  // One stereo sample in place; mix 0 dry ... 1 all-pass output.
  void Process(double& left, double& right, double mix);

  double Coefficient() const { return a1_; }
  double ChainGain() const { return a4Power_; }
  double ScaledFeedback() const { return feedback_; }
  double Normaliser() const { return norm_; }
  double MaximumCoefficient() const { return maxCoefficient_; }

 private:
  template <class L2>
  friend struct PhaserLanes;

  struct Channel {
    double s[4] = {0.0, 0.0, 0.0, 0.0};
    double dither = 1e-13;
  };

  double maxCoefficient_ = 1.7097335063587169;  // 2*pi*12000/44100
  double a4Power_ = 0.0;
  double a1_ = 0.0;
  double a2_ = 0.0;
  double a3_ = 0.0;
  double a4_ = 0.0;
  double feedback_ = 0.0;  // scaled
  double norm_ = 0.0;
  Channel left_;
  Channel right_;
};

// The two channels side by side in a two-lane set (left in lane 0), with the same
// operations per channel as a channel alone. Load, run any number of samples, Save.
template <class L2>
struct PhaserLanes {
  using F = typename L2::F64;
  F s[4], dither;
  F a1, a2, a3, a4, a4Power, feedback, norm;

  void Load(const Phaser& p) {
    for (int k = 0; k < 4; ++k) {
      const double v[2] = {p.left_.s[k], p.right_.s[k]};
      s[k] = L2::Load(v);
    }
    const double d[2] = {p.left_.dither, p.right_.dither};
    dither = L2::Load(d);
    a1 = L2::Broadcast(p.a1_);
    a2 = L2::Broadcast(p.a2_);
    a3 = L2::Broadcast(p.a3_);
    a4 = L2::Broadcast(p.a4_);
    a4Power = L2::Broadcast(p.a4Power_);
    feedback = L2::Broadcast(p.feedback_);
    norm = L2::Broadcast(p.norm_);
  }
  void Save(Phaser& p) const {
    for (int k = 0; k < 4; ++k) {
      double v[2];
      L2::Store(v, s[k]);
      p.left_.s[k] = v[0];
      p.right_.s[k] = v[1];
    }
    double d[2];
    L2::Store(d, dither);
    p.left_.dither = d[0];
    p.right_.dither = d[1];
  }

  // Adds the dither to a normal value, zeroes anything else.
  static TESVAR_LANES_INLINE F Dither(F v, F d) { return L2::Keep(L2::IsNormal(v), v + d); }

  TESVAR_LANES_INLINE F Process(F in, F mix) {
    const F d = dither;
    for (F& v : s) v = Dither(v, d);
    const F state = ((s[0] * a2 + s[1]) * a3 + s[2]) * a4 + s[3];
    const F x = Dither(in, d);
    dither = -d;
    const F y = (x * a4Power + state) * norm;
    const F u = x - feedback * y;
    const F o1 = a1 * u + s[0];
    s[0] = u - a1 * o1;
    const F o2 = a2 * o1 + s[1];
    s[1] = o1 - a2 * o2;
    const F o3 = a3 * o2 + s[2];
    s[2] = o2 - a3 * o3;
    const F o4 = a4 * o3 + s[3];
    s[3] = o3 - a4 * o4;
    return x + (y - x) * mix;
  }
};

}  // namespace engine
