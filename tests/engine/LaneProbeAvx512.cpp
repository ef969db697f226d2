// The lane probe over the AVX-512 set: this file alone is compiled for AVX-512 (as the
// engine's own AVX-512 kernel is).
#include "engine/dsp/Lanes.h"
#include "engine/dsp/LanesAvx512.h"
#include "tests/engine/LaneProbe.h"

namespace engine_test {

void ProbeAvx512Lanes(const double* a, const double* b, int n, double* out) {
  ProbeLanes<engine::Avx512Lanes>(a, b, n, out);
  ProbeLanes<engine::WideLanes<engine::Avx512Lanes, 2>>(a, b, n, out + 4 * n);
}

}  // namespace engine_test
