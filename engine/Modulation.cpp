// Per-tick modulation sums.
#include "engine/Modulation.h"

#include <algorithm>

#include "engine/EngineSettings.h"

namespace engine {

const ModulationValues& Modulation::Tick(const EngineSettings& s, double bend, double wheel) {
  mg_.step = s.mgLfoStep;
  wheel_.step = s.wheelLfoStep;
  pwm_.step = s.pwmLfoStep;
  mg_.Advance();
  wheel_.Advance();
  pwm_.Advance();

  // During the delay the MG is silent; it switches on at full depth when the ramp ends.
  double m = 0.0;
  if (ramp_ < 1.0) {
    ramp_ = std::min(ramp_ + s.mgDelayStep, 1.0);
  } else {
    m = mg_.bipolar;
  }

  values_.filter = m * s.mgFilterDepth;
  values_.pitch = bend * s.bendRange + s.tuneOffset + m * s.mgPitchDepth;
  // The wheel's vibrato: one semitone (128) on pitch, 31 semitones (3968) on cutoff.
  if (s.wheelToFilter) {
    values_.filter += wheel * 3968.0 * wheel_.bipolar;
  } else {
    values_.pitch += wheel * 128.0 * wheel_.bipolar;
  }

  if (s.pwmActive) {
    // Without its own LFO the PWM follows the MG and fades in with the delay ramp.
    values_.pulseAmount = (s.pwmOwnLfo ? pwm_.unipolar : mg_.unipolar * ramp_) * s.pulseDepth;
  } else {
    values_.pulseAmount = s.pulseDepth;
  }
  return values_;
}

}  // namespace engine
