// The process-wide band-limited wavetables read by every Oscillator.
#pragma once

#include <vector>

namespace engine {

// Wave codes: the table sets, plus 5 for a silent oscillator.
enum WaveCode : int {
  kWaveSaw = 0,
  kWaveSquare = 1,
  kWaveStacked4 = 2,  // four octave-spaced squares: DCO2 "sawtooth" at 16'
  kWaveStacked3 = 3,  // three: at 8'
  kWaveStacked2 = 4,  // two: at 4'
  kWaveOff = 5,
};

// Five sets of 22 tables of 2048 doubles (about 1.8 MB). Table t of a set holds
// round(1024 / sqrt(2)^t) harmonics, so table t suits steps below 2 * sqrt(2)^t entries per
// sample. Built once per process on first use (thread-safe), never written afterwards.
class Wavetables {
 public:
  static constexpr int kSets = 5;
  static constexpr int kTablesPerSet = 22;
  static constexpr int kTableSize = 2048;

  // The single process-wide store; the first call builds it (a few milliseconds).
  static const Wavetables& Get();

  // Table t (0 ... 21) of set `wave` (0 ... 4).
  const double* Table(int wave, int t) const {
    return data_.data() + (static_cast<long>(wave) * kTablesPerSet + t) * kTableSize;
  }

  // The whole store: table t of set `wave` starts at (wave * kTablesPerSet + t) * kTableSize.
  const double* Data() const { return data_.data(); }

  // Harmonics in table t: 1024, 724, 512, ... 2, 1, 1, 1.
  static int HarmonicCount(int t);

  // Table for a phase step (2^27 units per cycle): the first t with step/sqrt(2)^t <= 1
  // entry per sample (step = increment >> 16 in table entries), at most 21.
  static int TableForIncrement(int increment);

 private:
  Wavetables();
  double* Mutable(int wave, int t) { return data_.data() + (static_cast<long>(wave) * kTablesPerSet + t) * kTableSize; }

  std::vector<double> data_;
};

}  // namespace engine
