// Every lane set gives the plain doubles' answers, bit for bit, at the edges where the
// vector forms work differently: zeros of both signs, subnormals, the normal range's ends,
// infinities and NaNs, for IsNormal, Keep, Min and Max over all pairs.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/VoiceKernel.h"
#include "engine/dsp/Lanes.h"
#include "tests/engine/LaneProbe.h"
#if defined(__SSE2__)
#include "engine/dsp/LanesSse2.h"
#endif

namespace engine {
namespace {

using Probe = void (*)(const double*, const double*, int, double*);

std::uint64_t Bits(double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

TEST(LanesTest, EverySetAgreesWithPlainDoublesAtTheEdges) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double values[] = {0.0,
                           -0.0,
                           DBL_TRUE_MIN,
                           -DBL_TRUE_MIN,
                           std::nextafter(DBL_MIN, 0.0),
                           DBL_MIN,
                           -DBL_MIN,
                           std::nextafter(DBL_MIN, 1.0),
                           1e-13,
                           -1e-13,
                           0.5,
                           -1.0,
                           17281.0,
                           1e300,
                           std::nextafter(DBL_MAX, 0.0),
                           DBL_MAX,
                           -DBL_MAX,
                           inf,
                           -inf,
                           nan,
                           -nan,
                           std::numeric_limits<double>::signaling_NaN(),
                           2.0,
                           -3.0};
  constexpr int kValues = sizeof(values) / sizeof(values[0]);
  // Every ordered pair, padded to a multiple of the widest set.
  std::vector<double> a, b;
  for (double x : values) {
    for (double y : values) {
      a.push_back(x);
      b.push_back(y);
    }
  }
  while (a.size() % 16 != 0) {
    a.push_back(1.0);
    b.push_back(1.0);
  }
  const int n = static_cast<int>(a.size());
  std::vector<double> reference(4 * static_cast<std::size_t>(n));
  engine_test::ProbeLanes<ScalarLanes>(a.data(), b.data(), n, reference.data());
  // The reference itself: the plain definitions.
  for (int i = 0; i < kValues * kValues; ++i) {
    const bool normal = std::isnormal(a[i]);
    ASSERT_EQ(reference[i], normal ? 1.0 : 0.0) << a[i];
    ASSERT_EQ(Bits(reference[n + i]), Bits(normal ? a[i] : 0.0)) << a[i];
    ASSERT_EQ(Bits(reference[2 * n + i]), Bits(a[i] < b[i] ? a[i] : b[i])) << a[i] << " " << b[i];
    ASSERT_EQ(Bits(reference[3 * n + i]), Bits(a[i] > b[i] ? a[i] : b[i])) << a[i] << " " << b[i];
  }

  struct Set {
    const char* name;
    Probe probe;
    bool available;
    int copies = 1;  // result sets the probe writes one after the other
  };
  const Set sets[] = {
    {"scalar wide", &engine_test::ProbeLanes<WideLanes<ScalarLanes, 4>>, true},
    {"array of 2", &engine_test::ProbeLanes<ArrayLanes<2>>, true},
#if defined(__SSE2__)
    {"sse2", &engine_test::ProbeLanes<Sse2Lanes>, true},
    {"sse2 wide", &engine_test::ProbeLanes<WideLanes<Sse2Lanes, 3>>, true},
#endif
#if defined(TESVAR_TEST_WIDE_LANES)
    {"avx2", &engine_test::ProbeAvx2Lanes, BestVoicePath() >= VoicePath::kAvx2},
    {"avx512", &engine_test::ProbeAvx512Lanes, BestVoicePath() >= VoicePath::kAvx512, 2},
#endif
  };
  for (const Set& set : sets) {
    if (!set.available) continue;
    std::vector<double> out(reference.size() * static_cast<std::size_t>(set.copies));
    set.probe(a.data(), b.data(), n, out.data());
    for (std::size_t i = 0; i < out.size(); ++i) {
      const std::size_t pair = i % static_cast<std::size_t>(n);
      ASSERT_EQ(Bits(out[i]), Bits(reference[i % reference.size()]))
          << set.name << ", operation " << i / n % 4 << " (IsNormal, Keep, Min, Max) of " << a[pair] << " and "
          << b[pair];
    }
  }
}

}  // namespace
}  // namespace engine
