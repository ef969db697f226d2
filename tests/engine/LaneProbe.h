// The lane operations whose vector forms do something other than the plain comparison
// (IsNormal on the bits, Keep as a bit mask, Min and Max as the processor's instructions),
// run over arrays so that every lane set can be compared with the plain doubles.
#pragma once

namespace engine_test {

// Results per input pair (a[i], b[i]), n a multiple of the set's width:
//   out[0n + i] = IsNormal(a) ? 1 : 0, out[1n + i] = Keep(IsNormal(a), a),
//   out[2n + i] = Min(a, b), out[3n + i] = Max(a, b).
template <class L>
void ProbeLanes(const double* a, const double* b, int n, double* out) {
  for (int i = 0; i + L::kWidth <= n; i += L::kWidth) {  // n: a multiple of 16
    const typename L::F64 x = L::Load(a + i);
    const typename L::F64 y = L::Load(b + i);
    const typename L::Mask normal = L::IsNormal(x);
    L::Store(out + i, L::Keep(normal, L::Broadcast(1.0)));
    L::Store(out + n + i, L::Keep(normal, x));
    L::Store(out + 2 * n + i, L::Min(x, y));
    L::Store(out + 3 * n + i, L::Max(x, y));
  }
}

// The AVX2 set's results (LaneProbeAvx2.cpp, compiled for AVX2), and the AVX-512 set's
// twice, alone and as two registers side by side, into out and out + 4n
// (LaneProbeAvx512.cpp); call each only where the processor has its set.
void ProbeAvx2Lanes(const double* a, const double* b, int n, double* out);
void ProbeAvx512Lanes(const double* a, const double* b, int n, double* out);

}  // namespace engine_test
