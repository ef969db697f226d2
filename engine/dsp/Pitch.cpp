// The two note-frequency tables behind PitchToFrequency.
#include "engine/dsp/Pitch.h"

#include <array>
#include <cmath>

namespace engine {
namespace {

constexpr int kNotes = kMaxPitchCode / kCodesPerSemitone + 1;  // 136 notes: 0 ... 135

struct NoteTables {
  std::array<double, kNotes> up{};    // T[n] = 440 * 2^((n - 69) / 12), three decimals
  std::array<double, kNotes> down{};  // U[n] = 8.176 * 2^(-n / 12)

  NoteTables() {
    for (int n = 0; n < kNotes; ++n) {
      const double f = 440.0 * std::pow(2.0, (n - 69) / 12.0);
      up[n] = static_cast<double>(RoundHalfAway(f * 1000.0)) / 1000.0;
      down[n] = 8.176 * std::pow(2.0, -n / 12.0);
    }
  }
};

const NoteTables& Tables() {
  static const NoteTables tables;  // built once, thread-safe initialisation
  return tables;
}

}  // namespace

double PitchToFrequency(int code) {
  const NoteTables& t = Tables();
  if (code >= kMaxPitchCode) return t.up[kNotes - 1];
  if (code <= -kMaxPitchCode) return 0.0033570162;
  const bool below = code < 0;
  const int a = below ? -code : code;
  const int i = a / kCodesPerSemitone;
  const int f = a % kCodesPerSemitone;
  const std::array<double, kNotes>& n = below ? t.down : t.up;
  return n[i] + (n[i + 1] - n[i]) * f * 0.0078125;
}

}  // namespace engine
