// Lanes: a few doubles (or 32-bit integers) side by side, one per voice or channel, with
// the handful of operations the per-sample code needs. Code written over a lane set runs
// unchanged on every set; each operation rounds exactly as the plain double operation
// does, lane by lane, so all sets compute the same numbers.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

// The per-sample code over lanes is inlined into its loops whatever the compiler's size
// heuristics say: a call would pass every lane value through memory.
#if defined(__GNUC__)
#define TESVAR_LANES_INLINE inline __attribute__((always_inline))
#else
#define TESVAR_LANES_INLINE inline
#endif

namespace engine {

// The reference set: N plain doubles, one loop per operation. N = 1 is the scalar path.
// Every lane set offers the same names:
//   F64: + - * /, unary -, < <= > >= == != (giving Mask), Broadcast(x)
//   Mask: & | and Not; Any
//   I32: + and & (wrapping), >> (logical), Broadcast(x)
//   Select(mask, a, b), Keep(mask, a) (a where the mask is set, +0.0 elsewhere),
//   Min(a, b) (a < b ? a : b), Max(a, b) (a > b ? a : b), Abs, IsNormal (a mask of the
//   normal finite values: not zero, subnormal, infinite or NaN), Gather(base, index),
//   Truncate (toward 0), ToF64, Load/Store of kWidth values from/to plain arrays.
template <int N>
struct ArrayLanes {
  static constexpr int kWidth = N;

  struct Mask {
    bool v[N];
    friend Mask operator&(Mask a, Mask b) {
      for (int i = 0; i < N; ++i) a.v[i] = a.v[i] && b.v[i];
      return a;
    }
    friend Mask operator|(Mask a, Mask b) {
      for (int i = 0; i < N; ++i) a.v[i] = a.v[i] || b.v[i];
      return a;
    }
  };

  struct F64 {
    double v[N];
#define TESVAR_LANES_OP(op)                                \
  friend F64 operator op(F64 a, F64 b) {                   \
    for (int i = 0; i < N; ++i) a.v[i] = a.v[i] op b.v[i]; \
    return a;                                              \
  }
    TESVAR_LANES_OP(+)
    TESVAR_LANES_OP(-)
    TESVAR_LANES_OP(*)
    TESVAR_LANES_OP(/)
#undef TESVAR_LANES_OP
#define TESVAR_LANES_CMP(op)                               \
  friend Mask operator op(F64 a, F64 b) {                  \
    Mask m;                                                \
    for (int i = 0; i < N; ++i) m.v[i] = a.v[i] op b.v[i]; \
    return m;                                              \
  }
    TESVAR_LANES_CMP(<)
    TESVAR_LANES_CMP(<=)
    TESVAR_LANES_CMP(>)
    TESVAR_LANES_CMP(>=)
    TESVAR_LANES_CMP(==)
    TESVAR_LANES_CMP(!=)
#undef TESVAR_LANES_CMP
    friend F64 operator-(F64 a) {
      for (int i = 0; i < N; ++i) a.v[i] = -a.v[i];
      return a;
    }
  };

  struct I32 {
    std::int32_t v[N];
    friend I32 operator+(I32 a, I32 b) {
      // Wrapping addition, as the vector units do.
      for (int i = 0; i < N; ++i)
        a.v[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(a.v[i]) + static_cast<std::uint32_t>(b.v[i]));
      return a;
    }
    friend I32 operator&(I32 a, I32 b) {
      for (int i = 0; i < N; ++i) a.v[i] &= b.v[i];
      return a;
    }
    friend I32 operator>>(I32 a, int bits) {
      for (int i = 0; i < N; ++i) a.v[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(a.v[i]) >> bits);
      return a;
    }
  };

  static F64 Broadcast(double x) {
    F64 r;
    for (int i = 0; i < N; ++i) r.v[i] = x;
    return r;
  }
  static I32 BroadcastInt(std::int32_t x) {
    I32 r;
    for (int i = 0; i < N; ++i) r.v[i] = x;
    return r;
  }
  static Mask Not(Mask m) {
    for (int i = 0; i < N; ++i) m.v[i] = !m.v[i];
    return m;
  }
  static bool Any(Mask m) {
    bool any = false;
    for (int i = 0; i < N; ++i) any = any || m.v[i];
    return any;
  }
  static F64 Select(Mask m, F64 a, F64 b) {
    for (int i = 0; i < N; ++i) a.v[i] = m.v[i] ? a.v[i] : b.v[i];
    return a;
  }
  static F64 Keep(Mask m, F64 a) {
    for (int i = 0; i < N; ++i) a.v[i] = m.v[i] ? a.v[i] : 0.0;
    return a;
  }
  static F64 Min(F64 a, F64 b) {
    for (int i = 0; i < N; ++i) a.v[i] = a.v[i] < b.v[i] ? a.v[i] : b.v[i];
    return a;
  }
  static F64 Max(F64 a, F64 b) {
    for (int i = 0; i < N; ++i) a.v[i] = a.v[i] > b.v[i] ? a.v[i] : b.v[i];
    return a;
  }
  static F64 Abs(F64 a) {
    // Clears the sign bit, as the vector sets do (fabs would too, but this keeps -0.0 and
    // NaN handling identical by construction).
    for (int i = 0; i < N; ++i) {
      std::uint64_t bits;
      std::memcpy(&bits, &a.v[i], sizeof bits);
      bits &= 0x7FFFFFFFFFFFFFFFull;
      std::memcpy(&a.v[i], &bits, sizeof bits);
    }
    return a;
  }
  static Mask IsNormal(F64 a) {
    const F64 m = Abs(a);
    Mask r;
    for (int i = 0; i < N; ++i) r.v[i] = m.v[i] >= DBL_MIN && m.v[i] <= DBL_MAX;
    return r;
  }
  static F64 Gather(const double* base, I32 index) {
    F64 r;
    for (int i = 0; i < N; ++i) r.v[i] = base[index.v[i]];
    return r;
  }
  // Toward zero; values outside the int32 range give INT32_MIN, as the x86 conversion does.
  static I32 Truncate(F64 a) {
    I32 r;
    for (int i = 0; i < N; ++i) {
      const double x = a.v[i];
      r.v[i] = (x > -2147483649.0 && x < 2147483648.0) ? static_cast<std::int32_t>(x) : INT32_MIN;
    }
    return r;
  }
  static F64 ToF64(I32 a) {
    F64 r;
    for (int i = 0; i < N; ++i) r.v[i] = static_cast<double>(a.v[i]);
    return r;
  }
  static F64 Load(const double* p) {
    F64 r;
    for (int i = 0; i < N; ++i) r.v[i] = p[i];
    return r;
  }
  static void Store(double* p, F64 a) {
    for (int i = 0; i < N; ++i) p[i] = a.v[i];
  }
  static I32 LoadInt(const std::int32_t* p) {
    I32 r;
    for (int i = 0; i < N; ++i) r.v[i] = p[i];
    return r;
  }
  static void StoreInt(std::int32_t* p, I32 a) {
    for (int i = 0; i < N; ++i) p[i] = a.v[i];
  }
  static Mask LoadMask(const bool* p) {
    Mask m;
    for (int i = 0; i < N; ++i) m.v[i] = p[i];
    return m;
  }
  // Two lanes from two places (left and right channel), and back.
  static F64 LoadTwo(const double* a, const double* b) {
    static_assert(N == 2);
    return {{*a, *b}};
  }
  static void StoreTwo(double* a, double* b, F64 x) {
    static_assert(N == 2);
    *a = x.v[0];
    *b = x.v[1];
  }
};

using ScalarLanes = ArrayLanes<1>;

// R registers of a lane set side by side, as one set of R * L::kWidth lanes: every operation
// is R independent operations written next to each other, so that the processor works on R
// recursions at once instead of waiting on one. Lanes r * L::kWidth ... are register r.
template <class L, int R>
struct WideLanes {
  using Lane = L;
  static constexpr int kWidth = L::kWidth * R;
  static constexpr int kRegisters = R;

#define TESVAR_WIDE_EACH _Pragma("GCC unroll 16") for (int r = 0; r < R; ++r)
  struct Mask {
    typename L::Mask v[R];
    friend Mask operator&(Mask a, Mask b) {
      TESVAR_WIDE_EACH a.v[r] = a.v[r] & b.v[r];
      return a;
    }
    friend Mask operator|(Mask a, Mask b) {
      TESVAR_WIDE_EACH a.v[r] = a.v[r] | b.v[r];
      return a;
    }
  };

  struct F64 {
    typename L::F64 v[R];
#define TESVAR_WIDE_OP(op)                      \
  friend F64 operator op(F64 a, F64 b) {        \
    TESVAR_WIDE_EACH a.v[r] = a.v[r] op b.v[r]; \
    return a;                                   \
  }
    TESVAR_WIDE_OP(+)
    TESVAR_WIDE_OP(-)
    TESVAR_WIDE_OP(*)
    TESVAR_WIDE_OP(/)
#undef TESVAR_WIDE_OP
#define TESVAR_WIDE_CMP(op)                     \
  friend Mask operator op(F64 a, F64 b) {       \
    Mask m;                                     \
    TESVAR_WIDE_EACH m.v[r] = a.v[r] op b.v[r]; \
    return m;                                   \
  }
    TESVAR_WIDE_CMP(<)
    TESVAR_WIDE_CMP(<=)
    TESVAR_WIDE_CMP(>)
    TESVAR_WIDE_CMP(>=)
    TESVAR_WIDE_CMP(==)
    TESVAR_WIDE_CMP(!=)
#undef TESVAR_WIDE_CMP
    friend F64 operator-(F64 a) {
      TESVAR_WIDE_EACH a.v[r] = -a.v[r];
      return a;
    }
  };

  struct I32 {
    typename L::I32 v[R];
    friend I32 operator+(I32 a, I32 b) {
      TESVAR_WIDE_EACH a.v[r] = a.v[r] + b.v[r];
      return a;
    }
    friend I32 operator&(I32 a, I32 b) {
      TESVAR_WIDE_EACH a.v[r] = a.v[r] & b.v[r];
      return a;
    }
    friend I32 operator>>(I32 a, int bits) {
      TESVAR_WIDE_EACH a.v[r] = a.v[r] >> bits;
      return a;
    }
  };

  static F64 Broadcast(double x) {
    F64 a;
    a.v[0] = L::Broadcast(x);
    TESVAR_WIDE_EACH a.v[r] = a.v[0];
    return a;
  }
  static I32 BroadcastInt(std::int32_t x) {
    I32 a;
    a.v[0] = L::BroadcastInt(x);
    TESVAR_WIDE_EACH a.v[r] = a.v[0];
    return a;
  }
  static Mask Not(Mask m) {
    TESVAR_WIDE_EACH m.v[r] = L::Not(m.v[r]);
    return m;
  }
  static bool Any(Mask m) {
    typename L::Mask any = m.v[0];
    for (int r = 1; r < R; ++r) any = any | m.v[r];
    return L::Any(any);
  }
  static F64 Select(Mask m, F64 a, F64 b) {
    TESVAR_WIDE_EACH a.v[r] = L::Select(m.v[r], a.v[r], b.v[r]);
    return a;
  }
  static F64 Keep(Mask m, F64 a) {
    TESVAR_WIDE_EACH a.v[r] = L::Keep(m.v[r], a.v[r]);
    return a;
  }
  static F64 Min(F64 a, F64 b) {
    TESVAR_WIDE_EACH a.v[r] = L::Min(a.v[r], b.v[r]);
    return a;
  }
  static F64 Max(F64 a, F64 b) {
    TESVAR_WIDE_EACH a.v[r] = L::Max(a.v[r], b.v[r]);
    return a;
  }
  static F64 Abs(F64 a) {
    TESVAR_WIDE_EACH a.v[r] = L::Abs(a.v[r]);
    return a;
  }
  static Mask IsNormal(F64 a) {
    Mask m;
    TESVAR_WIDE_EACH m.v[r] = L::IsNormal(a.v[r]);
    return m;
  }
  static F64 Gather(const double* base, I32 index) {
    F64 a;
    TESVAR_WIDE_EACH a.v[r] = L::Gather(base, index.v[r]);
    return a;
  }
  static I32 Truncate(F64 a) {
    I32 i;
    TESVAR_WIDE_EACH i.v[r] = L::Truncate(a.v[r]);
    return i;
  }
  static F64 ToF64(I32 i) {
    F64 a;
    TESVAR_WIDE_EACH a.v[r] = L::ToF64(i.v[r]);
    return a;
  }
  static F64 Load(const double* p) {
    F64 a;
    TESVAR_WIDE_EACH a.v[r] = L::Load(p + r * L::kWidth);
    return a;
  }
  static void Store(double* p, F64 a) { TESVAR_WIDE_EACH L::Store(p + r * L::kWidth, a.v[r]); }
  static I32 LoadInt(const std::int32_t* p) {
    I32 a;
    TESVAR_WIDE_EACH a.v[r] = L::LoadInt(p + r * L::kWidth);
    return a;
  }
  static void StoreInt(std::int32_t* p, I32 a) { TESVAR_WIDE_EACH L::StoreInt(p + r * L::kWidth, a.v[r]); }
  static Mask LoadMask(const bool* p) {
    Mask m;
    TESVAR_WIDE_EACH m.v[r] = L::LoadMask(p + r * L::kWidth);
    return m;
  }
#undef TESVAR_WIDE_EACH
};

}  // namespace engine
