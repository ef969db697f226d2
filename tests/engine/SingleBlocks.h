// Single DSP blocks with their own settings, one sample at a time: for the block tests and
// the benchmarks. The voices keep only the blocks' states and share their settings; these
// wrap one state and one set of settings over the same scalar lane code.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/dsp/Envelope.h"
#include "engine/dsp/LadderFilter.h"
#include "engine/dsp/Oscillator.h"

namespace engine {

// One envelope with its own settings: for tests, benchmarks and anything that needs a single
// one. Voices keep only an EnvelopeState and share their settings.
class Envelope {
 public:
  using State = EnvelopeStage;
  static constexpr const double (&kTimeTable)[16] = EnvelopeSettings::kTimeTable;
  static constexpr double kAttackTarget = EnvelopeSettings::kAttackTarget;
  static constexpr double kReleaseTarget = EnvelopeSettings::kReleaseTarget;
  static constexpr double kSilentLevel = EnvelopeSettings::kSilentLevel;

  // Idle at level 0, time scale ln(10)/sampleRate.
  void SetSampleRate(double sampleRate);
  void SetAttack(double x) { settings_.SetAttack(x); }
  void SetDecay(double x) { settings_.SetDecay(x); }
  void SetSustain(double x) { settings_.SetSustain(x); }
  void SetRelease(double x) { settings_.SetRelease(x); }
  void GateOn() { state_.GateOn(); }
  void Release() { state_.Release(); }

  // One sample.
  double Process();

  double Level() const { return state_.level; }
  State GetState() const { return state_.stage; }
  bool IsIdle() const { return state_.IsIdle(); }
  const EnvelopeSettings& Settings() const { return settings_; }
  static double StageSeconds(double x) { return EnvelopeSettings::StageSeconds(x); }
  double Coefficient(double x) const { return settings_.Coefficient(x); }

 private:
  EnvelopeSettings settings_;
  EnvelopeState state_;
};

// One filter with its own settings: for tests, benchmarks and anything that needs a single
// one. Voices keep only a LadderState and share their settings. SetSampleRate on the
// dispatcher thread (may allocate), the rest on the audio thread.
class LadderFilter {
 public:
  LadderFilter() = default;

  // New rate: the tables for it, the 10 Hz cutoff smoother, the stage states restarted.
  void SetSampleRate(double sampleRate);
  void SetCutoffTarget(double code) { settings_.SetCutoffTarget(code); }
  void SetResonance(double r) { settings_.SetResonance(r); }
  void Set24dB(bool on) { settings_.Set24dB(on); }
  void PresetCutoff() { state_.PresetCutoff(settings_.cutoffTarget); }

  // One sample; m = cutoff modulation in pitch code, added to the smoothed cutoff.
  double Process(double x, int m);

  // Output of the four stages after the last Process call, for tests.
  double State(int stage) const {
    return stage == 0 ? state_.s1 : stage == 1 ? state_.s2 : stage == 2 ? state_.s3 : state_.s4;
  }
  double G() const { return Coefficients().g; }
  double R() const { return Coefficients().r; }
  double K() const { return Coefficients().k; }
  double Normaliser() const { return Coefficients().norm; }
  double Gain() const { return settings_.gain; }
  double SmoothedCutoff() const { return state_.smoothedCutoff; }
  double SampleRate() const { return settings_.rates->sampleRate; }

  static double Saturate(double y);

 private:
  LadderCoefficients Coefficients() const { return LadderCoefficients::For(state_.code, settings_); }

  LadderSettings settings_;
  LadderState state_;
};

// One oscillator with its own settings: for tests, benchmarks and anything that needs a
// single one. Voices keep only an OscillatorState and share their settings. Copyable: a copy
// shares the immutable tables and continues from the same phase.
class Oscillator {
 public:
  static constexpr std::uint32_t kPhaseMask = OscillatorState::kPhaseMask;

  // Builds the wavetables on first use and takes the 44100 Hz increments; the phase starts
  // at 0 until the first SetSampleRate draws one.
  Oscillator();

  // New rate: new increments (may lock and allocate; not on the audio path), the start phase
  // from randomBits (0 ... 32767).
  void SetSampleRate(double sampleRate, int randomBits = 0);
  void SetWaveCode(int code) { settings_.SetWaveCode(code); }
  void SetOctave(int octaveIndex) { settings_.SetOctave(octaveIndex); }
  void SetIntervalOffset(int code) { settings_.SetIntervalOffset(code); }
  void SetPitch(int p, double width) { state_.SetPitch(p, width, settings_, *rates_); }

  // One sample.
  double Render();

  int WaveCode() const { return settings_.wave; }
  int PitchOffset() const { return settings_.pitchOffset; }
  bool PulseMode() const { return state_.pulse; }
  int TableIndex() const { return state_.tableIndex; }
  std::uint32_t Phase() const { return state_.phase; }
  std::uint32_t SecondPhase() const { return state_.phase2; }
  std::int32_t Increment() const { return static_cast<std::int32_t>(state_.increment); }
  double SampleRate() const { return rates_->sampleRate; }

 private:
  std::shared_ptr<const RateTables> rates_;
  OscillatorSettings settings_;
  OscillatorState state_;
};

}  // namespace engine
