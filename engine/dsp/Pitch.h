// Pitch codes (1/128 semitone, code n*128 = MIDI note n) and the engine's rounding rule.
#pragma once

#include <cstdint>

namespace engine {

inline constexpr int kCodesPerSemitone = 128;
inline constexpr int kMaxPitchCode = 17280;  // MIDI note 135
inline constexpr int kPitchCodeCount = kMaxPitchCode + 1;

// Rounds half away from zero (2.5 -> 3, -2.5 -> -3). Exact for |x| < 2^52; the caller
// keeps x well inside the int64 range.
inline std::int64_t RoundHalfAway(double x) {
  const auto t = static_cast<std::int64_t>(x);  // toward zero
  const double rest = x - static_cast<double>(t);
  if (rest >= 0.5) return t + 1;
  if (rest <= -0.5) return t - 1;
  return t;
}

// Pitch code to Hz by linear interpolation, in steps of 1/128 semitone, between the
// equal-tempered note frequencies stored to three decimals (note 0 = 8.176 Hz, note 69 =
// 440 Hz, note 135 = 19912.127 Hz and above). Negative codes fall below note 0 on a second
// table, down to 0.0033570162 Hz at -17280 and beyond. Any thread; the tables are built on
// first use.
double PitchToFrequency(int code);

}  // namespace engine
