// The voice settings every voice shares, in engine units.
#pragma once

#include "engine/dsp/Envelope.h"
#include "engine/dsp/LadderFilter.h"
#include "engine/dsp/Oscillator.h"

namespace engine {

// Written once per parameter change by EngineSettings::Apply (under the plug-in lock,
// between blocks) and read by every voice; the voices keep only their own state. The
// defaults play like the construction defaults: 8' octaves, DCO2 off, full cutoff.
struct VoicePatch {
  OscillatorSettings dco1;
  OscillatorSettings dco2;
  int dco2Detune = 0;             // pitch code, 0 ... 60
  LadderSettings vcf;             // resting cutoff (pitch code), resonance, 12/24 dB
  double keyboardTracking = 1.0;  // 0 ... 1
  double envelopeDepth = 0.0;     // pitch code per unit of EG1
  EnvelopeSettings eg1;
  EnvelopeSettings eg2;
  bool vcaUsesEg2 = true;

  VoicePatch();
  // Rate tables, envelope time scale and cutoff smoother for a new rate (may allocate).
  void SetSampleRate(double sampleRate);
  const RateTables& Rates() const { return *vcf.rates; }
};

}  // namespace engine
