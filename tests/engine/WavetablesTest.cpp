// Wavetable contents: harmonic counts, window, square and stacked-square derivations.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "engine/dsp/Wavetables.h"

namespace engine {
namespace {

constexpr int kN = Wavetables::kTableSize;

// Amplitude of harmonic j in one table period (exact DFT bin).
double Harmonic(const double* table, int j) {
  double re = 0.0, im = 0.0;
  for (int k = 0; k < kN; ++k) {
    const double a = 2.0 * std::numbers::pi * j * k / kN;
    re += table[k] * std::cos(a);
    im += table[k] * std::sin(a);
  }
  return 2.0 * std::sqrt(re * re + im * im) / kN;
}

TEST(Wavetables, FirstUseFromManyThreadsBuildsOneWholeStore) {
  // Each test runs in its own process under ctest, so this is normally the first build:
  // every instance may ask for the store at once, and all must see the same, finished one.
  // (Its build time is measured by the engine benchmark.)
  constexpr int kThreads = 4;
  std::vector<const Wavetables*> seen(kThreads, nullptr);
  std::vector<double> quarter(kThreads, 0.0);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&seen, &quarter, i] {
      const Wavetables& w = Wavetables::Get();
      seen[static_cast<std::size_t>(i)] = &w;
      quarter[static_cast<std::size_t>(i)] = w.Table(kWaveSaw, 0)[kN / 4];
    });
  }
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(seen[static_cast<std::size_t>(i)], &Wavetables::Get()) << "thread " << i;
    EXPECT_NEAR(quarter[static_cast<std::size_t>(i)], std::numbers::pi / 4, 0.01) << "thread " << i;
  }
}

TEST(Wavetables, HarmonicCountsHalveEveryTwoTables) {
  const int expected[22] = {1024, 724, 512, 362, 256, 181, 128, 91, 64, 45, 32, 23, 16, 11, 8, 6, 4, 3, 2, 1, 1, 1};
  for (int t = 0; t < 22; ++t) EXPECT_EQ(Wavetables::HarmonicCount(t), expected[t]) << "table " << t;
}

TEST(Wavetables, SawtoothHoldsWindowedHarmonicsUpToItsCount) {
  const Wavetables& w = Wavetables::Get();
  for (int t : {4, 9, 14, 18, 19}) {
    const double* saw = w.Table(kWaveSaw, t);
    const int h = Wavetables::HarmonicCount(t);
    EXPECT_NEAR(Harmonic(saw, 1), 1.0, 1e-9) << "table " << t;
    if (h > 1) {
      // The window ends at 0.54 on the top harmonic, and is near 1 on the second.
      EXPECT_NEAR(Harmonic(saw, h), 0.54 / h, 1e-9) << "table " << t;
      EXPECT_NEAR(Harmonic(saw, 2), (0.54 + 0.46 * std::cos(std::numbers::pi / 2 / (h - 1))) / 2, 1e-9);
    }
    EXPECT_LT(Harmonic(saw, h + 1), 1e-9) << "table " << t;
    EXPECT_LT(Harmonic(saw, 2 * h + 3), 1e-9) << "table " << t;
  }
  // The unnormalised sum falls from about +pi/2 to -pi/2: a quarter cycle in, it is near pi/4.
  EXPECT_NEAR(w.Table(kWaveSaw, 0)[512], std::numbers::pi / 4, 0.01);
}

TEST(Wavetables, SquareIsSawMinusItsHalfCycleCopy) {
  const Wavetables& w = Wavetables::Get();
  for (int t : {0, 7, 16}) {
    const double* sq = w.Table(kWaveSquare, t);
    for (int k : {0, 1, 700, 1024, 2047}) {
      const double* saw = w.Table(kWaveSaw, t);
      EXPECT_DOUBLE_EQ(sq[k], 0.5 * (saw[k] - saw[(k + 1024) % kN])) << "table " << t << " k " << k;
    }
    // Odd harmonics only, each at the sawtooth's amplitude.
    EXPECT_NEAR(Harmonic(sq, 1), 1.0, 1e-9);
    EXPECT_LT(Harmonic(sq, 2), 1e-9);
    EXPECT_LT(Harmonic(sq, 4), 1e-9);
    EXPECT_NEAR(Harmonic(sq, 3), Harmonic(w.Table(kWaveSaw, t), 3), 1e-9);
  }
}

TEST(Wavetables, StackedSquaresAddOctavesAtHalvingLevels) {
  const Wavetables& w = Wavetables::Get();
  const int t = 6;
  // A square has no even harmonics, so harmonics 2, 4, 8 come from the upper squares alone.
  const double* x2 = w.Table(kWaveStacked2, t);
  const double* x3 = w.Table(kWaveStacked3, t);
  const double* x4 = w.Table(kWaveStacked4, t);
  for (const double* s : {x2, x3, x4}) {
    EXPECT_NEAR(Harmonic(s, 1), 0.5, 1e-9);
    EXPECT_NEAR(Harmonic(s, 2), 0.25, 1e-9);
  }
  EXPECT_LT(Harmonic(x2, 4), 1e-9);
  EXPECT_NEAR(Harmonic(x3, 4), 0.125, 1e-9);
  EXPECT_LT(Harmonic(x3, 8), 1e-9);
  EXPECT_NEAR(Harmonic(x4, 8), 0.0625, 1e-9);
  // The fourth square comes from the table eight on (t + 8 = 14, 11 harmonics), so its 3rd
  // harmonic lands on 24 at a sixteenth of the saw's windowed third.
  EXPECT_NEAR(Harmonic(x4, 24), 0.0625 * Harmonic(w.Table(kWaveSaw, 14), 3), 1e-9);
}

TEST(Wavetables, EverySetStaysWithinItsTableBand) {
  const Wavetables& w = Wavetables::Get();
  for (int set = 0; set < Wavetables::kSets; ++set) {
    // Stacked sets: on odd tables the rounded counts let an upper square reach one harmonic
    // past the band (table 13 has 11, table 15 doubled gives 12), so check the even ones.
    const std::vector<int> tables = set < 2 ? std::vector<int>{2, 8, 13, 20} : std::vector<int>{2, 8};
    for (int t : tables) {
      const int h = Wavetables::HarmonicCount(t);
      const double* table = w.Table(set, t);
      for (int j = h + 1; j <= std::min(2 * h + 8, kN / 2); ++j) {
        ASSERT_LT(Harmonic(table, j), 1e-9) << "set " << set << " table " << t << " harmonic " << j;
      }
    }
  }
}

}  // namespace
}  // namespace engine
