// The instance-wide modulation computed once per control tick: MG with its delay ramp,
// wheel vibrato, pulse-width LFO, pitch bend and tune.
#pragma once

#include "engine/dsp/ControlLfo.h"

namespace engine {

struct EngineSettings;

// What every voice reads at its control update.
struct ModulationValues {
  double pitch = 0.0;        // pitch code added to each voice's base pitch
  double filter = 0.0;       // pitch code added to each voice's cutoff tracking term
  double pulseAmount = 0.0;  // 0 ... 0.85; DCO1's pulse width is 1 - pulseAmount
};

// Audio thread (Tick, RestartDelay) and the dispatcher under the plug-in lock (reset).
class Modulation {
 public:
  // Sample-rate change: modulation fully on. LFO phases are kept.
  void Reset() { ramp_ = 1.0; }

  // A note-on while no key is held: the MG goes quiet and comes back after the delay time.
  void RestartDelay() { ramp_ = 0.0; }

  // One control tick. bend -1 ... 1 and wheel 0 ... 1 come from MIDI.
  const ModulationValues& Tick(const EngineSettings& settings, double bend, double wheel);

  const ModulationValues& Values() const { return values_; }
  double DelayRamp() const { return ramp_; }
  const ControlLfo& Mg() const { return mg_; }
  const ControlLfo& Wheel() const { return wheel_; }
  const ControlLfo& Pwm() const { return pwm_; }

 private:
  ControlLfo mg_;
  ControlLfo wheel_;
  ControlLfo pwm_;
  double ramp_ = 1.0;  // MG delay: 0 after a restart, 1 = fully on
  ModulationValues values_;
};

}  // namespace engine
