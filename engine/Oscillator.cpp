// Oscillator settings, pitch and table selection.
#include "engine/Oscillator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace engine {

Oscillator::Oscillator() : rates_(RateTables::For(44100.0)) {
  Wavetables::Get();
  SelectTables();
  DrawStartPhase(0);
}

void Oscillator::DrawStartPhase(int randomBits) {
  // Fifteen random bits times 2048: the start lies in the first half-cycle.
  phase_ = (static_cast<std::uint32_t>(randomBits & 0x7FFF) * 2048u) & kPhaseMask;
  phase2_ = 0;
  increment_ = 0;
}

void Oscillator::SetSampleRate(double sampleRate, int randomBits) {
  if (rates_->sampleRate != sampleRate) rates_ = RateTables::For(sampleRate);
  DrawStartPhase(randomBits);
}

void Oscillator::SetWaveCode(int code) {
  wave_ = (code >= kWaveSaw && code <= kWaveOff) ? code : kWaveOff;
  SelectTables();
}

void Oscillator::SetOctave(int octaveIndex) {
  octaveIndex_ = std::clamp(octaveIndex, 0, 2);
  octaveSign_ = octaveIndex_ - 1;
  pitchOffset_ = octaveSign_ * 12 * kCodesPerSemitone + intervalOffset_;
}

void Oscillator::SetIntervalOffset(int code) {
  intervalOffset_ = code;
  pitchOffset_ = octaveSign_ * 12 * kCodesPerSemitone + intervalOffset_;
}

int Oscillator::TableForIncrement(std::int32_t increment) {
  double s = static_cast<double>(increment >> 16);
  int n = 0;
  while (s > 1.0) {
    s *= 0.7071067811865476;
    ++n;
  }
  return std::min(n, Wavetables::kTablesPerSet - 1);
}

void Oscillator::SetPitch(int p, double width) {
  const long c = static_cast<long>(p) + pitchOffset_;
  const int code = c < 0 ? 0 : (c > kMaxPitchCode ? kMaxPitchCode : static_cast<int>(c));
  increment_ = static_cast<std::uint32_t>(rates_->increment[code]);
  // NaN widths count as 0 (a closed pulse) rather than reaching the phase arithmetic.
  const double x = width >= 0.0 ? std::min(width, 1.0) : 0.0;
  pulse_ = wave_ == kWaveSquare && x < 1.0;
  // x = 1 puts the second read half a cycle away (2^26 phase units).
  phase2_ = static_cast<std::uint32_t>(phase_ + static_cast<std::uint32_t>(x * 67108864.0)) & kPhaseMask;
  tableIndex_ = TableForIncrement(static_cast<std::int32_t>(increment_));
  SelectTables();
}

void Oscillator::SelectTables() {
  const Wavetables& w = Wavetables::Get();
  saw_ = w.Table(kWaveSaw, tableIndex_);
  table_ = wave_ == kWaveOff ? saw_ : w.Table(wave_, tableIndex_);
}

}  // namespace engine
