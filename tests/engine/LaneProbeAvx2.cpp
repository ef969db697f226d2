// The lane probe over the AVX2 set: this file alone is compiled for AVX2 (as the engine's
// own AVX2 kernel is).
#include "engine/dsp/LanesAvx2.h"
#include "tests/engine/LaneProbe.h"

namespace engine_test {

void ProbeAvx2Lanes(const double* a, const double* b, int n, double* out) {
  ProbeLanes<engine::Avx2Lanes>(a, b, n, out);
}

}  // namespace engine_test
