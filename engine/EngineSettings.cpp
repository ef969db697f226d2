// Parameter-to-engine mapping of the product.
#include "engine/EngineSettings.h"

#include <cmath>

#include "engine/Pitch.h"
#include "engine/Voice.h"

namespace engine {
namespace {

void ToVoices(std::span<Voice> voices, int index, double v, double e) {
  for (Voice& voice : voices) voice.SetParameter(index, v, e);
}

}  // namespace

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

double EngineSettings::EffectsLfoStep(double speed) {
  return (2.0 * speed * speed * 14.7 + 0.3) / 1000.0;
}

SettingsFollowUp EngineSettings::Apply(int index, double v, double e, std::span<Voice> voices) {
  SettingsFollowUp next;
  const int i = static_cast<int>(v);
  switch (index) {
    case 0:
      outputLevel = 0.5 * e;
      next.updateOutputGain = true;
      break;
    case 1: tuneOffset = 128.0 * v; break;
    case 2: bendRange = 128.0 * v; break;
    case 3: wheelLfoStep = 2.0 * v / 1000.0; break;
    case 4: wheelToFilter = e >= 0.5; break;
    case 5:
      if (i != mode) {
        mode = i;
        next.reconfigureVoices = true;
      }
      break;
    case 6:
      voicesSetting = voicesParameter = i;
      next.reconfigureVoices = true;
      break;
    case 7:
      spread = e;
      next.updatePanGains = true;
      break;
    case 9:
      dco1Waveform = i;
      pwmActive = i == 2;
      ToVoices(voices, 9, i > 0 ? 1.0 : 0.0, e);
      break;
    case 10: pulseDepth = 0.85 * e; break;
    case 11:
      pwmOwnLfo = e > 0.0;
      pwmLfoStep = (2.0 * (0.5 * e * e) * 14.7 + 0.3) / 1000.0;
      break;
    case 12:
      // The stacked-square count follows the octave, so the wave code goes first.
      dco2Octave = i;
      ToVoices(voices, 13, Dco2WaveCode(dco2Waveform, dco2Octave), e);
      ToVoices(voices, 12, v, e);
      break;
    case 13:
      dco2Waveform = i;
      ToVoices(voices, 13, Dco2WaveCode(dco2Waveform, dco2Octave), e);
      break;
    case 15:
      // Square law: 0 ... 60 pitch code (up to about 47 cents).
      ToVoices(voices, 15, static_cast<double>(RoundHalfAway(e * e * 76.8 / 1.28)), e);
      break;
    case 16:
      cutoffKnob = v;
      baseCutoff = BaseCutoff(cutoffKnob, egIntensityKnob);
      ToVoices(voices, 16, baseCutoff, baseCutoff / kMaxPitchCode);
      break;
    case 19:
      egIntensityKnob = v;
      baseCutoff = BaseCutoff(cutoffKnob, egIntensityKnob);
      ToVoices(voices, 16, baseCutoff, baseCutoff / kMaxPitchCode);
      ToVoices(voices, 19, v * 17280.0 * 0.85 / 7.0, e);
      break;
    case 30: mgLfoStep = (2.0 * std::pow(e, 1.5) * 14.7 + 0.3) / 1000.0; break;
    case 31:
      mgDelayStep = 1.0 / (1500.0 * e + 1.0);
      ToVoices(voices, 31, v, e);
      break;
    case 32: mgPitchDepth = 128.0 * e * e * e; break;
    case 33: mgFilterDepth = 3968.0 * e * e; break;
    case 34:
      effectsMode = i;
      if (effectsMode == 1 || effectsMode == 2) effectsLfoStep = EffectsLfoStep(effectsSpeed);
      break;
    case 35:
      effectsSpeed = v;
      if (effectsMode == 1 || effectsMode == 2) effectsLfoStep = EffectsLfoStep(effectsSpeed);
      break;
    case 36: phaserFeedback = v; break;
    case 37: phaserModAmount = v; break;
    case 38: phaserMix = v; break;
    case 39: chorusModAmount = v; break;
    case 40: chorusMix = v; break;
    case 41: ensembleStep1 = 2.0 * v / 1000.0; break;
    case 42: ensembleStep2 = 2.0 * v / 1000.0; break;
    case 43: lfoBalance = v; break;
    default:
      // 8, 14, 17, 18, 20 ... 29 and the reserved 44 ... 50 belong to the voices alone.
      if (index >= 8 && index <= 50) ToVoices(voices, index, v, e);
      break;
  }
  return next;
}

}  // namespace engine
