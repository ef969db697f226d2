// Single DSP blocks over the scalar lanes.
#include "tests/engine/SingleBlocks.h"

#include "engine/dsp/Lanes.h"
#include "engine/dsp/Wavetables.h"

namespace engine {

void Envelope::SetSampleRate(double sampleRate) {
  settings_.SetSampleRate(sampleRate);
  state_ = EnvelopeState{};
}

double Envelope::Process() {
  EnvelopeLanes<ScalarLanes> lanes;
  lanes.Load(&state_.level, &state_.stage, settings_);
  lanes.Step(ScalarLanes::Broadcast(settings_.stageCoefficient[2]), ScalarLanes::Broadcast(settings_.sustain));
  lanes.Save(&state_.level, &state_.stage);
  return state_.level;
}

void LadderFilter::SetSampleRate(double sampleRate) {
  settings_.SetSampleRate(sampleRate);
  state_.Restart();
}

double LadderFilter::Process(double x, int m) {
  LadderLanes<ScalarLanes> lanes;
  LadderState* state = &state_;
  lanes.Load(&state, settings_);
  const double y = lanes.Process(ScalarLanes::Broadcast(x), ScalarLanes::Broadcast(m)).v[0];
  lanes.Save(&state);
  return y;
}

double LadderFilter::Saturate(double y) { return LadderLanes<ScalarLanes>::Saturate(ScalarLanes::Broadcast(y)).v[0]; }

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
