// Eight doubles per AVX-512 register, with one bit per lane for masks. Include only from
// files compiled for AVX-512F (without FMA and with -ffp-contract=off, as every file here
// is, so that no product and sum are fused into one rounding).
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace engine {

struct Avx512Lanes {
  static constexpr int kWidth = 8;

  // One bit per lane.
  struct Mask {
    __mmask8 v;
    friend Mask operator&(Mask a, Mask b) { return {static_cast<__mmask8>(a.v & b.v)}; }
    friend Mask operator|(Mask a, Mask b) { return {static_cast<__mmask8>(a.v | b.v)}; }
  };

  struct F64 {
    __m512d v;
    friend F64 operator+(F64 a, F64 b) { return {_mm512_add_pd(a.v, b.v)}; }
    friend F64 operator-(F64 a, F64 b) { return {_mm512_sub_pd(a.v, b.v)}; }
    friend F64 operator*(F64 a, F64 b) { return {_mm512_mul_pd(a.v, b.v)}; }
    friend F64 operator/(F64 a, F64 b) { return {_mm512_div_pd(a.v, b.v)}; }
    friend F64 operator-(F64 a) {
      return {_mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(a.v), _mm512_set1_epi64(INT64_MIN)))};
    }
    // Ordered predicates, false for NaN, and unordered "not equal", true for NaN: the
    // results of the plain C++ comparisons.
    friend Mask operator<(F64 a, F64 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OQ)}; }
    friend Mask operator<=(F64 a, F64 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LE_OQ)}; }
    friend Mask operator>(F64 a, F64 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GT_OQ)}; }
    friend Mask operator>=(F64 a, F64 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GE_OQ)}; }
    friend Mask operator==(F64 a, F64 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_EQ_OQ)}; }
    friend Mask operator!=(F64 a, F64 b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_NEQ_UQ)}; }
  };

  // Eight 32-bit lanes in a 256-bit register.
  struct I32 {
    __m256i v;
    friend I32 operator+(I32 a, I32 b) { return {_mm256_add_epi32(a.v, b.v)}; }
    friend I32 operator&(I32 a, I32 b) { return {_mm256_and_si256(a.v, b.v)}; }
    friend I32 operator>>(I32 a, int bits) { return {_mm256_srli_epi32(a.v, bits)}; }
  };

  static F64 Broadcast(double x) { return {_mm512_set1_pd(x)}; }
  static I32 BroadcastInt(std::int32_t x) { return {_mm256_set1_epi32(x)}; }
  static Mask Not(Mask m) { return {static_cast<__mmask8>(~m.v)}; }
  static bool Any(Mask m) { return m.v != 0; }
  static F64 Select(Mask m, F64 a, F64 b) { return {_mm512_mask_blend_pd(m.v, b.v, a.v)}; }
  static F64 Keep(Mask m, F64 a) { return {_mm512_maskz_mov_pd(m.v, a.v)}; }
  // VMINPD and VMAXPD answer their second operand unless the first compares less (greater).
  static F64 Min(F64 a, F64 b) { return {_mm512_min_pd(a.v, b.v)}; }
  static F64 Max(F64 a, F64 b) { return {_mm512_max_pd(a.v, b.v)}; }
  static F64 Abs(F64 a) {
    return {_mm512_castsi512_pd(_mm512_and_si512(_mm512_castpd_si512(a.v), _mm512_set1_epi64(INT64_MAX)))};
  }
  // As the AVX2 set: adding 2^52 to the bits of |a| carries the exponents of infinity and
  // NaN into the sign and leaves those of zero and subnormals below 2^53.
  static Mask IsNormal(F64 a) {
    const __m512i bits = _mm512_and_si512(_mm512_castpd_si512(a.v), _mm512_set1_epi64(INT64_MAX));
    const __m512i shifted = _mm512_add_epi64(bits, _mm512_set1_epi64(std::int64_t{1} << 52));
    return {_mm512_cmpgt_epi64_mask(shifted, _mm512_set1_epi64((std::int64_t{1} << 53) - 1))};
  }
  static F64 Gather(const double* base, I32 index) { return {_mm512_i32gather_pd(index.v, base, 8)}; }
  // Out-of-range values give INT32_MIN, as the narrower sets do.
  static I32 Truncate(F64 a) { return {_mm512_cvttpd_epi32(a.v)}; }
  static F64 ToF64(I32 a) { return {_mm512_cvtepi32_pd(a.v)}; }
  static F64 Load(const double* p) { return {_mm512_loadu_pd(p)}; }
  static void Store(double* p, F64 a) { _mm512_storeu_pd(p, a.v); }
  static I32 LoadInt(const std::int32_t* p) { return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))}; }
  static void StoreInt(std::int32_t* p, I32 a) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a.v); }
  static Mask LoadMask(const bool* p) {
    unsigned bits = 0;
    for (int i = 0; i < kWidth; ++i) bits |= (p[i] ? 1u : 0u) << i;
    return {static_cast<__mmask8>(bits)};
  }

  // Four lanes, for the sums of one group of voices (a set of its own, so that nothing
  // compiled here for AVX-512 is shared with the other paths' code).
  struct Group {
    static constexpr int kWidth = 4;
    struct F64 {
      __m256d v;
      friend F64 operator+(F64 a, F64 b) { return {_mm256_add_pd(a.v, b.v)}; }
      friend F64 operator*(F64 a, F64 b) { return {_mm256_mul_pd(a.v, b.v)}; }
    };
    static F64 Broadcast(double x) { return {_mm256_set1_pd(x)}; }
    static F64 Load(const double* p) { return {_mm256_loadu_pd(p)}; }
    static void Store(double* p, F64 a) { _mm256_storeu_pd(p, a.v); }
  };
};

}  // namespace engine
