// Ladder filter settings, coefficients and state.
#include "engine/dsp/LadderFilter.h"

#include <algorithm>
#include <cmath>

#include "engine/dsp/Lanes.h"

namespace engine {

LadderSettings::LadderSettings() : rates(RateTables::For(44100.0)) { SetSampleRate(44100.0); }

void LadderSettings::SetSampleRate(double sampleRate) {
  if (rates->sampleRate != sampleRate) rates = RateTables::For(sampleRate);
  tableG = rates->ladderG.data();
  tableR = rates->ladderR.data();
  tableQ = rates->ladderQ.data();
  LowPass smoother;
  smoother.Set(rates->sampleRate, 10.0);
  smootherB0 = smoother.B0();
  smootherB1 = smoother.B1();
  smootherC1 = smoother.C1();
  smootherC2 = smoother.C2();
}

void LadderSettings::SetCutoffTarget(double code) {
  cutoffTarget = code;
  wholeTarget = code == std::trunc(code);
}

void LadderSettings::SetResonance(double r) {
  resonance = r;
  Set24dB(mode24);
}

void LadderSettings::Set24dB(bool on) {
  mode24 = on;
  const double r = resonance;
  if (mode24) {
    // Resonance 0.5 doubles the output, 0 and 1 leave it at unity.
    const double h = std::fabs(r - 0.5);
    gain = 2.0 - (2.0 * h) * (2.0 * h);
    feedback = r;
  } else {
    gain = 1.0 + r * r;
    feedback = 0.75 * r * r;
  }
}

LadderCoefficients LadderCoefficients::For(int code, const LadderSettings& s) {
  LadderLanes<ScalarLanes> lanes;
  LadderState state;
  state.code = code;
  const LadderState* p = &state;
  lanes.Load(&p, s);
  return {lanes.g.v[0], lanes.r.v[0], lanes.k.v[0], lanes.g4.v[0], lanes.norm.v[0]};
}

void LadderState::Restart() {
  s1 = 0.0;
  s2 = 1.0;
  s3 = 0.0;
  s4 = -1.0;
  x1 = x2 = y1 = y2 = 0.0;
  code = kNoCode;
}

void LadderState::PresetCutoff(double target) {
  x1 = x2 = y1 = y2 = FlushNonNormal(target);
  smoothedCutoff = target;
}

}  // namespace engine
