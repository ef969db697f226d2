// Fourier build of the sawtooth tables and their square and stacked-square derivations.
#include "engine/dsp/Wavetables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/dsp/Pitch.h"

namespace engine {

const Wavetables& Wavetables::Get() {
  static const Wavetables store;
  return store;
}

int Wavetables::HarmonicCount(int t) {
  // sqrt(2)^t by the power, as the table spacing is defined (t = 2 gives 2.0000000000000004).
  const double a = std::pow(std::numbers::sqrt2, t);
  return static_cast<int>(RoundHalfAway(1024.0 / a));
}

int Wavetables::TableForIncrement(int increment) {
  double s = static_cast<double>(increment >> 16);
  int n = 0;
  while (s > 1.0) {
    s *= 0.7071067811865476;
    ++n;
  }
  return std::min(n, kTablesPerSet - 1);
}

Wavetables::Wavetables() : data_(static_cast<long>(kSets) * kTablesPerSet * kTableSize, 0.0) {
  constexpr int n = kTableSize;
  // sin(2*pi*j*k/2048) only takes 2048 distinct values: index (j*k) mod 2048 reads them from
  // one period, which keeps the build at a few million multiply-adds.
  std::vector<double> sine(n);
  for (int k = 0; k < n; ++k) sine[k] = std::sin(2.0 * std::numbers::pi * k / n);

  for (int t = 0; t < kTablesPerSet; ++t) {
    double* saw = Mutable(kWaveSaw, t);
    const int h = HarmonicCount(t);
    // Harmonic j has amplitude w_j / j; the half-cosine window w_j tapers the top harmonics
    // from 1 down to 0.54 against ringing. The sum runs from +pi/2 to -pi/2 per cycle.
    for (int j = 1; j <= h; ++j) {
      const double w = j == 1 ? 1.0 : 0.54 + 0.46 * std::cos((j - 1) * (std::numbers::pi / 2) / (h - 1));
      const double amp = w / j;
      for (int k = 0; k < n; ++k) {
        const double s = amp * sine[(static_cast<long>(j) * k) % n];
        saw[k] = j == 1 ? s : saw[k] + s;
      }
    }
    // A square is the difference of a sawtooth and its copy half a cycle later.
    double* sq = Mutable(kWaveSquare, t);
    for (int k = 0; k < n; ++k) sq[k] = 0.5 * (saw[k] - saw[(k + n / 2) % n]);
  }

  for (int t = 0; t < kTablesPerSet; ++t) {
    // Octave-spaced squares at 1/2, 1/4, 1/8 amplitude; the upper ones come from tables
    // with fewer harmonics (one octave up is two tables on, three octaves is eight).
    const double* sq = Table(kWaveSquare, t);
    const double* sqU = Table(kWaveSquare, std::min(t + 2, kTablesPerSet - 1));
    const double* sqV = Table(kWaveSquare, std::min(t + 4, kTablesPerSet - 1));
    const double* sqW = Table(kWaveSquare, std::min(t + 8, kTablesPerSet - 1));
    double* s4 = Mutable(kWaveStacked4, t);
    double* s3 = Mutable(kWaveStacked3, t);
    double* s2 = Mutable(kWaveStacked2, t);
    for (int k = 0; k < n; ++k) {
      const double base = 0.5 * sq[k];
      const double u = 0.25 * sqU[(2 * k) % n];
      const double v = 0.125 * sqV[(4 * k) % n];
      const double w = 0.0625 * sqW[(8 * k) % n];
      s2[k] = base + u;
      s3[k] = base + (u + v);
      s4[k] = base + (u + v + w);
    }
  }
}

}  // namespace engine
