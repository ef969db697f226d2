// Oscillator settings, pitch and table selection.
#include "engine/dsp/Oscillator.h"

#include <algorithm>

#include "engine/dsp/Lanes.h"

namespace engine {

void OscillatorSettings::SetOctave(int index) {
  octaveIndex = std::clamp(index, 0, 2);
  pitchOffset = (octaveIndex - 1) * 12 * kCodesPerSemitone + intervalOffset;
}

void OscillatorSettings::SetIntervalOffset(int code) {
  intervalOffset = code;
  pitchOffset = (octaveIndex - 1) * 12 * kCodesPerSemitone + intervalOffset;
}

void OscillatorState::DrawStartPhase(int randomBits) {
  phase = (static_cast<std::uint32_t>(randomBits & 0x7FFF) * 2048u) & kPhaseMask;
  phase2 = 0;
  increment = 0;
}

Oscillator::Oscillator() : rates_(RateTables::For(44100.0)) {
  Wavetables::Get();
  state_.DrawStartPhase(0);
}

void Oscillator::SetSampleRate(double sampleRate, int randomBits) {
  if (rates_->sampleRate != sampleRate) rates_ = RateTables::For(sampleRate);
  state_.DrawStartPhase(randomBits);
}


double Oscillator::Render() {
  if (settings_.wave == kWaveOff) return 0.0;
  OscillatorLanes<ScalarLanes> lanes;
  OscillatorState* state = &state_;
  lanes.Load(&state, settings_);
  const double out = lanes.Render(Wavetables::Get().Data(), lanes.anyPulse).v[0];
  lanes.Skip(1);
  lanes.Save(&state);
  return out;
}

}  // namespace engine
