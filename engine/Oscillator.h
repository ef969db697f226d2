// A digitally controlled oscillator: a 27-bit phase accumulator reading the band-limited
// wavetables without interpolation, with a pulse mode made of two sawtooth reads.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/RateTables.h"
#include "engine/Wavetables.h"

namespace engine {

// Owned by one voice; every operation runs on the thread that owns the instance (audio
// thread for SetPitch and Render, the dispatcher under the plug-in lock for the rest).
// Copyable: a copy shares the immutable tables and continues from the same phase.
class Oscillator {
 public:
  static constexpr std::uint32_t kPhaseMask = (1u << 27) - 1;

  // Builds the wavetables on first use and takes the 44100 Hz increments; the phase starts
  // at 0 until the first SetSampleRate draws one.
  Oscillator();

  // New rate: new increments (may lock and allocate; not on the audio path), the start phase
  // from randomBits (0 ... 32767, a random draw: the start lies in the first half-cycle),
  // second phase and increment cleared.
  void SetSampleRate(double sampleRate, int randomBits = 0);

  // 0 saw, 1 square/pulse, 2 ... 4 stacked squares, 5 off (out-of-range codes count as off).
  void SetWaveCode(int code);
  // 0 = 16' (down an octave), 1 = 8', 2 = 4' (up an octave).
  void SetOctave(int octaveIndex);
  // Interval above the played note, in pitch code.
  void SetIntervalOffset(int code);

  // Control rate: pitch code p (any int; clamped to the table) and pulse width x (limited to
  // 0 ... 1; 1 = plain square, smaller = narrower pulse, used with wave code 1 only).
  void SetPitch(int p, double width);

  // One sample. An oscillator that is off answers 0 and keeps its phases frozen.
  double Render() {
    if (wave_ == kWaveOff) return 0.0;
    double out;
    if (pulse_) {
      out = (saw_[phase_ >> 16] - saw_[phase2_ >> 16]) * 0.5;
    } else {
      out = table_[phase_ >> 16];
    }
    phase_ = (phase_ + increment_) & kPhaseMask;
    phase2_ = (phase2_ + increment_) & kPhaseMask;
    return out;
  }

  int WaveCode() const { return wave_; }
  int OctaveIndex() const { return octaveIndex_; }
  int PitchOffset() const { return pitchOffset_; }
  bool PulseMode() const { return pulse_; }
  int TableIndex() const { return tableIndex_; }
  std::uint32_t Phase() const { return phase_; }
  std::uint32_t SecondPhase() const { return phase2_; }
  std::int32_t Increment() const { return static_cast<std::int32_t>(increment_); }
  double SampleRate() const { return rates_->sampleRate; }

  // Table for a phase step: the first t with step/sqrt(2)^t <= 1 entry per sample
  // (step = increment >> 16 in table entries), at most 21.
  static int TableForIncrement(std::int32_t increment);

 private:
  void SelectTables();
  void DrawStartPhase(int randomBits);

  std::shared_ptr<const RateTables> rates_;
  const double* table_ = nullptr;  // set[wave][tableIndex], or the saw when off
  const double* saw_ = nullptr;    // saw[tableIndex], for pulse mode
  int wave_ = kWaveSaw;
  int octaveIndex_ = 0;
  int octaveSign_ = -1;
  int intervalOffset_ = 0;
  bool pulse_ = false;
  int pitchOffset_ = -1536;  // octaveSign * 12 semitones + interval
  int tableIndex_ = 0;
  std::uint32_t phase_ = 0;
  std::uint32_t phase2_ = 0;
  std::uint32_t increment_ = 0;
};

}  // namespace engine
