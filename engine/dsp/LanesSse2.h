// Two doubles per SSE2 register: the lane set of every x86 build (the 32-bit one included).
#pragma once

#include <emmintrin.h>

#include <cfloat>
#include <cstdint>

namespace engine {

struct Sse2Lanes {
  static constexpr int kWidth = 2;

  struct Mask {
    __m128d v;
    friend Mask operator&(Mask a, Mask b) { return {_mm_and_pd(a.v, b.v)}; }
    friend Mask operator|(Mask a, Mask b) { return {_mm_or_pd(a.v, b.v)}; }
  };

  struct F64 {
    __m128d v;
    friend F64 operator+(F64 a, F64 b) { return {_mm_add_pd(a.v, b.v)}; }
    friend F64 operator-(F64 a, F64 b) { return {_mm_sub_pd(a.v, b.v)}; }
    friend F64 operator*(F64 a, F64 b) { return {_mm_mul_pd(a.v, b.v)}; }
    friend F64 operator/(F64 a, F64 b) { return {_mm_div_pd(a.v, b.v)}; }
    friend F64 operator-(F64 a) { return {_mm_xor_pd(a.v, _mm_set1_pd(-0.0))}; }
    friend Mask operator<(F64 a, F64 b) { return {_mm_cmplt_pd(a.v, b.v)}; }
    friend Mask operator<=(F64 a, F64 b) { return {_mm_cmple_pd(a.v, b.v)}; }
    friend Mask operator>(F64 a, F64 b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
    friend Mask operator>=(F64 a, F64 b) { return {_mm_cmpge_pd(a.v, b.v)}; }
    friend Mask operator==(F64 a, F64 b) { return {_mm_cmpeq_pd(a.v, b.v)}; }
    friend Mask operator!=(F64 a, F64 b) { return {_mm_cmpneq_pd(a.v, b.v)}; }
  };

  // Two 32-bit lanes in the low half of the register.
  struct I32 {
    __m128i v;
    friend I32 operator+(I32 a, I32 b) { return {_mm_add_epi32(a.v, b.v)}; }
    friend I32 operator&(I32 a, I32 b) { return {_mm_and_si128(a.v, b.v)}; }
    friend I32 operator>>(I32 a, int bits) { return {_mm_srli_epi32(a.v, bits)}; }
  };

  static F64 Broadcast(double x) { return {_mm_set1_pd(x)}; }
  static I32 BroadcastInt(std::int32_t x) { return {_mm_set1_epi32(x)}; }
  static Mask Not(Mask m) { return {_mm_xor_pd(m.v, _mm_castsi128_pd(_mm_set1_epi32(-1)))}; }
  static bool Any(Mask m) { return _mm_movemask_pd(m.v) != 0; }
  static F64 Select(Mask m, F64 a, F64 b) { return {_mm_or_pd(_mm_and_pd(m.v, a.v), _mm_andnot_pd(m.v, b.v))}; }
  static F64 Keep(Mask m, F64 a) { return {_mm_and_pd(m.v, a.v)}; }
  // MINPD and MAXPD answer their second operand unless the first compares less (greater).
  static F64 Min(F64 a, F64 b) { return {_mm_min_pd(a.v, b.v)}; }
  static F64 Max(F64 a, F64 b) { return {_mm_max_pd(a.v, b.v)}; }
  static F64 Abs(F64 a) { return {_mm_andnot_pd(_mm_set1_pd(-0.0), a.v)}; }
  static Mask IsNormal(F64 a) {
    const __m128d m = _mm_andnot_pd(_mm_set1_pd(-0.0), a.v);
    return {_mm_and_pd(_mm_cmpge_pd(m, _mm_set1_pd(DBL_MIN)), _mm_cmple_pd(m, _mm_set1_pd(DBL_MAX)))};
  }
  static F64 Gather(const double* base, I32 index) {
    const int i0 = _mm_cvtsi128_si32(index.v);
    const int i1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(index.v, 1));
    return {_mm_loadh_pd(_mm_load_sd(base + i0), base + i1)};
  }
  static I32 Truncate(F64 a) { return {_mm_cvttpd_epi32(a.v)}; }
  static F64 ToF64(I32 a) { return {_mm_cvtepi32_pd(a.v)}; }
  static F64 Load(const double* p) { return {_mm_loadu_pd(p)}; }
  static void Store(double* p, F64 a) { _mm_storeu_pd(p, a.v); }
  static I32 LoadInt(const std::int32_t* p) { return {_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))}; }
  static void StoreInt(std::int32_t* p, I32 a) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), a.v); }
  // Two lanes from two places (left and right channel), and back.
  static F64 LoadTwo(const double* a, const double* b) { return {_mm_loadh_pd(_mm_load_sd(a), b)}; }
  static void StoreTwo(double* a, double* b, F64 x) {
    _mm_storel_pd(a, x.v);
    _mm_storeh_pd(b, x.v);
  }
  static Mask LoadMask(const bool* p) { return {_mm_castsi128_pd(_mm_set_epi64x(p[1] ? -1 : 0, p[0] ? -1 : 0))}; }
};

}  // namespace engine
