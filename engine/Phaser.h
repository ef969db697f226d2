// Stereo four-stage all-pass phaser with feedback around the chain.
#pragma once

#include "engine/Filter.h"

namespace engine {

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
  void Process(double& left, double& right, double mix) {
    left = ProcessChannel(left, mix, left_);
    right = ProcessChannel(right, mix, right_);
  }

  double Coefficient() const { return a1_; }
  double ChainGain() const { return a4Power_; }
  double ScaledFeedback() const { return feedback_; }
  double Normaliser() const { return norm_; }
  double MaximumCoefficient() const { return maxCoefficient_; }

 private:
  struct Channel {
    double s[4] = {0.0, 0.0, 0.0, 0.0};
    double dither = 1e-13;
  };

  double ProcessChannel(double in, double mix, Channel& c) {
    const double d = c.dither;
    for (double& s : c.s) s = FlushNonNormal(s) != 0.0 ? s + d : 0.0;
    const double state = ((c.s[0] * a2_ + c.s[1]) * a3_ + c.s[2]) * a4_ + c.s[3];
    const double x = FlushNonNormal(in) != 0.0 ? in + d : 0.0;
    c.dither = -d;
    const double y = (x * a4Power_ + state) * norm_;
    const double u = x - feedback_ * y;
    const double o1 = a1_ * u + c.s[0];
    c.s[0] = u - a1_ * o1;
    const double o2 = a2_ * o1 + c.s[1];
    c.s[1] = o1 - a2_ * o2;
    const double o3 = a3_ * o2 + c.s[2];
    c.s[2] = o2 - a3_ * o3;
    const double o4 = a4_ * o3 + c.s[3];
    c.s[3] = o3 - a4_ * o4;
    return x + (y - x) * mix;
  }

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

}  // namespace engine
