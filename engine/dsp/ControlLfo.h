// Triangle LFO advanced once per control tick (about a millisecond).
#pragma once

#include <cmath>

namespace engine {

// The phase runs from -1 to 1 and wraps; the outputs describe the phase before the step:
// unipolar = |phase| (1 at the wrap, 0 mid-cycle), bipolar = 2*unipolar - 1, a triangle
// that starts at +1. A cycle takes 2/step ticks. Plain record, no thread of its own.
struct ControlLfo {
  double bipolar = 0.0;
  double unipolar = 0.0;
  double phase = -1.0;
  double step = 0.0;  // phase change per tick, 0 ... about 0.03

  void Advance() {
    const double u = std::fabs(phase);
    phase += step;
    unipolar = u;
    bipolar = 2.0 * u - 1.0;
    if (phase >= 1.0) phase -= 2.0;
  }

  // Step for `hz` cycles per 1000 ticks (about Hz at the 1 ms tick).
  static double StepForHz(double hz) { return 2.0 * hz / 1000.0; }
};

}  // namespace engine
