// Parameter-to-engine mapping of the product.
#include "engine/EngineSettings.h"

#include <cmath>

#include "engine/ParamIndex.h"
#include "engine/dsp/ControlLfo.h"
#include "engine/dsp/Pitch.h"

namespace engine {
namespace {

// "DCO2 Interval" values "1", "-3", "3", "4", "5" as semitones above DCO1.
constexpr int kIntervalSemitones[5] = {0, 3, 4, 5, 7};

// A list parameter's value as an index 0 ... last, rounded.
int ListIndex(double v, int last) {
  const auto i = RoundHalfAway(v > 0.0 ? (v < last ? v : last) : 0.0);
  return static_cast<int>(i);
}

}  // namespace

EffectsMode EffectsModeFromIndex(int index) {
  return index >= 0 && index <= 3 ? static_cast<EffectsMode>(index) : EffectsMode::kOff;
}

int Dco2WaveCode(int waveform, int octave) {
  if (waveform == 0) return 5;
  if (waveform == 2) return 1;
  return octave <= 0 ? 2 : (octave == 1 ? 3 : 4);
}

double EngineSettings::BaseCutoff(double cutoffKnob, double egIntensityKnob) {
  double x = (cutoffKnob - egIntensityKnob) / 63.0;
  x = x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
  return x * kMaxPitchCode;
}

double EngineSettings::EffectsLfoStep(double speed) { return (2.0 * speed * speed * 14.7 + 0.3) / 1000.0; }

bool EngineSettings::ApplyToPatch(int index, double v, double e) {
  const int i = static_cast<int>(v);
  switch (index) {
    case kDco1Octave: patch.dco1.SetOctave(ListIndex(v, 2)); break;
    case kDco1Waveform:
      dco1Waveform = i;
      pwmActive = i == 2;
      patch.dco1.SetWaveCode(i > 0 ? kWaveSquare : kWaveSaw);
      break;
    case kDco2Octave:
      // The stacked-square count follows the octave.
      dco2Octave = i;
      patch.dco2.SetWaveCode(Dco2WaveCode(dco2Waveform, dco2Octave));
      patch.dco2.SetOctave(ListIndex(v, 2));
      break;
    case kDco2Waveform:
      dco2Waveform = i;
      patch.dco2.SetWaveCode(Dco2WaveCode(dco2Waveform, dco2Octave));
      break;
    case kDco2Interval: patch.dco2.SetIntervalOffset(kIntervalSemitones[ListIndex(v, 4)] * kCodesPerSemitone); break;
    case kDco2Detune:
      // Square law: 0 ... 60 pitch code (up to about 47 cents).
      patch.dco2Detune = ListIndex(static_cast<double>(RoundHalfAway(e * e * 76.8 / 1.28)), 60);
      break;
    case kVcfCutoff:
      cutoffKnob = v;
      SetBaseCutoff();
      break;
    case kVcfResonance: patch.vcf.SetResonance(e); break;
    case kVcfKbdTrack: patch.keyboardTracking = v; break;
    case kVcfEgIntensity:
      egIntensityKnob = v;
      SetBaseCutoff();
      patch.envelopeDepth = v * 17280.0 * 0.85 / 7.0;
      break;
    case kVcfType: patch.vcf.Set24dB(e > 0.5); break;
    case kEg1Attack: patch.eg1.SetAttack(e); break;
    case kEg1Decay: patch.eg1.SetDecay(e); break;
    case kEg1Sustain: patch.eg1.SetSustain(e); break;
    case kEg1Release: patch.eg1.SetRelease(e); break;
    case kVcaEgMode: patch.vcaUsesEg2 = e < 0.5; break;
    case kEg2Attack: patch.eg2.SetAttack(e); break;
    case kEg2Decay: patch.eg2.SetDecay(e); break;
    case kEg2Sustain: patch.eg2.SetSustain(e); break;
    case kEg2Release: patch.eg2.SetRelease(e); break;
    default: return false;
  }
  return true;
}

SettingsFollowUp EngineSettings::Apply(int index, double v, double e) {
  SettingsFollowUp next;
  if (ApplyToPatch(index, v, e)) {
    next.voicePatch = true;
    return next;
  }
  const int i = static_cast<int>(v);
  switch (index) {
    case kVolume:
      outputLevel = 0.5 * e;
      next.updateOutputGain = true;
      break;
    case kTune: tuneOffset = 128.0 * v; break;
    case kBend: bendRange = 128.0 * v; break;
    case kWheelFrequency: wheelLfoStep = ControlLfo::StepForHz(v); break;
    case kWheelDestination: wheelToFilter = e >= 0.5; break;
    case kMode:
      if (i != mode) {
        mode = i;
        next.reconfigureVoices = true;
      }
      break;
    case kVoices:
      voicesSetting = voicesParameter = i;
      next.reconfigureVoices = true;
      break;
    case kSpread:
      spread = e;
      next.updatePanGains = true;
      break;
    case kDco1PulseWidth: pulseDepth = 0.85 * e; break;
    case kDco1PwmFrequency:
      pwmOwnLfo = e > 0.0;
      pwmLfoStep = (2.0 * (0.5 * e * e) * 14.7 + 0.3) / 1000.0;
      break;
    case kMgFrequency: mgLfoStep = (2.0 * std::pow(e, 1.5) * 14.7 + 0.3) / 1000.0; break;
    case kMgDelay: mgDelayStep = 1.0 / (1500.0 * e + 1.0); break;
    case kMgDco: mgPitchDepth = 128.0 * e * e * e; break;
    case kMgVcf: mgFilterDepth = 3968.0 * e * e; break;
    case kEffectsMode:
      effectsMode = EffectsModeFromIndex(i);
      if (UsesEffectsLfo()) effectsLfoStep = EffectsLfoStep(effectsSpeed);
      break;
    case kEffectsSpeed:
      effectsSpeed = v;
      if (UsesEffectsLfo()) effectsLfoStep = EffectsLfoStep(effectsSpeed);
      break;
    case kPhaserFeedback: phaserFeedback = v; break;
    case kPhaserModAmount: phaserModAmount = v; break;
    case kPhaserMix: phaserMix = v; break;
    case kChorusModAmount: chorusModAmount = v; break;
    case kChorusMix: chorusMix = v; break;
    case kEnsembleRate1: ensembleStep1 = ControlLfo::StepForHz(v); break;
    case kEnsembleRate2: ensembleStep2 = ControlLfo::StepForHz(v); break;
    case kLfoBalance: lfoBalance = v; break;
    default: break;  // the reserved 44 ... 50 do nothing
  }
  return next;
}

void EngineSettings::SetBaseCutoff() {
  baseCutoff = BaseCutoff(cutoffKnob, egIntensityKnob);
  patch.vcf.SetCutoffTarget(std::trunc(baseCutoff));
}

}  // namespace engine
