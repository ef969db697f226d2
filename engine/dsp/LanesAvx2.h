// Four doubles per AVX2 register. Include only from files compiled for AVX2 (without FMA,
// so that no product and sum are fused into one rounding).
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace engine {

struct Avx2Lanes {
  static constexpr int kWidth = 4;

  struct Mask {
    __m256d v;
    friend Mask operator&(Mask a, Mask b) { return {_mm256_and_pd(a.v, b.v)}; }
    friend Mask operator|(Mask a, Mask b) { return {_mm256_or_pd(a.v, b.v)}; }
  };

  struct F64 {
    __m256d v;
    friend F64 operator+(F64 a, F64 b) { return {_mm256_add_pd(a.v, b.v)}; }
    friend F64 operator-(F64 a, F64 b) { return {_mm256_sub_pd(a.v, b.v)}; }
    friend F64 operator*(F64 a, F64 b) { return {_mm256_mul_pd(a.v, b.v)}; }
    friend F64 operator/(F64 a, F64 b) { return {_mm256_div_pd(a.v, b.v)}; }
    friend F64 operator-(F64 a) { return {_mm256_xor_pd(a.v, _mm256_set1_pd(-0.0))}; }
    // Ordered predicates, false for NaN, and unordered "not equal", true for NaN: the
    // results of the plain C++ comparisons.
    friend Mask operator<(F64 a, F64 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
    friend Mask operator<=(F64 a, F64 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
    friend Mask operator>(F64 a, F64 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
    friend Mask operator>=(F64 a, F64 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ)}; }
    friend Mask operator==(F64 a, F64 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ)}; }
    friend Mask operator!=(F64 a, F64 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_NEQ_UQ)}; }
  };

  // Four 32-bit lanes in a 128-bit register.
  struct I32 {
    __m128i v;
    friend I32 operator+(I32 a, I32 b) { return {_mm_add_epi32(a.v, b.v)}; }
    friend I32 operator&(I32 a, I32 b) { return {_mm_and_si128(a.v, b.v)}; }
    friend I32 operator>>(I32 a, int bits) { return {_mm_srli_epi32(a.v, bits)}; }
  };

  static F64 Broadcast(double x) { return {_mm256_set1_pd(x)}; }
  static I32 BroadcastInt(std::int32_t x) { return {_mm_set1_epi32(x)}; }
  static Mask Not(Mask m) { return {_mm256_xor_pd(m.v, _mm256_castsi256_pd(_mm256_set1_epi32(-1)))}; }
  static bool Any(Mask m) { return _mm256_movemask_pd(m.v) != 0; }
  static F64 Select(Mask m, F64 a, F64 b) { return {_mm256_blendv_pd(b.v, a.v, m.v)}; }
  static F64 Keep(Mask m, F64 a) { return {_mm256_and_pd(m.v, a.v)}; }
  // VMINPD and VMAXPD answer their second operand unless the first compares less (greater).
  static F64 Min(F64 a, F64 b) { return {_mm256_min_pd(a.v, b.v)}; }
  static F64 Max(F64 a, F64 b) { return {_mm256_max_pd(a.v, b.v)}; }
  static F64 Abs(F64 a) { return {_mm256_andnot_pd(_mm256_set1_pd(-0.0), a.v)}; }
  // On the bits of |a|: adding 2^52 carries the exponents of infinity and NaN into the sign
  // and leaves those of zero and subnormals below 2^53, so one signed compare finds the
  // normal finite values.
  static Mask IsNormal(F64 a) {
    const __m256i bits = _mm256_castpd_si256(_mm256_andnot_pd(_mm256_set1_pd(-0.0), a.v));
    const __m256i shifted = _mm256_add_epi64(bits, _mm256_set1_epi64x(std::int64_t{1} << 52));
    return {_mm256_castsi256_pd(_mm256_cmpgt_epi64(shifted, _mm256_set1_epi64x((std::int64_t{1} << 53) - 1)))};
  }
  // The masked form with every lane on: the same instruction, without the unmasked form's
  // undefined source register.
  static F64 Gather(const double* base, I32 index) {
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    return {_mm256_mask_i32gather_pd(_mm256_setzero_pd(), base, index.v, all, 8)};
  }
  static I32 Truncate(F64 a) { return {_mm256_cvttpd_epi32(a.v)}; }
  static F64 ToF64(I32 a) { return {_mm256_cvtepi32_pd(a.v)}; }
  static F64 Load(const double* p) { return {_mm256_loadu_pd(p)}; }
  static void Store(double* p, F64 a) { _mm256_storeu_pd(p, a.v); }
  static I32 LoadInt(const std::int32_t* p) { return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))}; }
  static void StoreInt(std::int32_t* p, I32 a) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a.v); }
  static Mask LoadMask(const bool* p) {
    return {_mm256_castsi256_pd(_mm256_set_epi64x(p[3] ? -1 : 0, p[2] ? -1 : 0, p[1] ? -1 : 0, p[0] ? -1 : 0))};
  }
};

}  // namespace engine
