// The parameter table and the special display texts.
#include "engine/ParameterTable.h"

#include <cmath>
#include <cstdio>

#include "core/IPlugBase.h"
#include "engine/VoiceCounts.h"

namespace {

constexpr const char* kOnOffDestination[] = {"TO DCO", "TO VCF"};
constexpr const char* kModes[] = {"Poly", "Chord", "Unison"};
constexpr const char* kOctaves[] = {"16'", "8'", "4'"};
constexpr const char* kWaveforms[] = {"Sawtooth", "PW", "PWM"};
constexpr const char* kIntervals[] = {"1", "-3", "3", "4", "5"};
constexpr const char* kFilterTypes[] = {"12dB/Oct", "24dB/Oct"};
constexpr const char* kVcaModes[] = {"EG2", "EG1"};
constexpr const char* kEffectsModes[] = {"Off", "Chorus", "Phaser", "Ensemble"};

constexpr ParamSpec Continuous(const char* name, double lo, double hi, double def, double step, double shape = 1.0) {
  return {name, ParamType::kContinuous, lo, hi, def, step, shape, 0, nullptr};
}
constexpr ParamSpec Integer(const char* name, double lo, double hi, double def) {
  return {name, ParamType::kInteger, lo, hi, def, 1.0, 1.0, 0, nullptr};
}
template <int N>
constexpr ParamSpec List(const char* name, double def, const char* const (&texts)[N]) {
  return {name, ParamType::kList, 0.0, N - 1.0, def, 1.0, 1.0, N, texts};
}

constexpr std::array<ParamSpec, kParamCount> kSpecs = {{
    Continuous("Volume", 0, 1, 0.5, 0.01),
    Continuous("Tune", -1, 1, 0, 0.01),
    Integer("Bend", 0, 12, 2),
    Continuous("Mod.Wheel Frequency", 0.3, 15, 5.6, 0.1, 2),
    List("Mod.Wheel Destination", 0, kOnOffDestination),
    List("Mode", 0, kModes),
    Integer("Voices", 0, 7, 2),
    Continuous("Spread", 0, 1, 0, 0.01),
    List("DCO1 Octave", 1, kOctaves),
    List("DCO1 Waveform", 0, kWaveforms),
    Continuous("DCO1 PW/PWM", 0, 7, 0, 0.01),
    Continuous("DCO1 PWM Frequency", 0, 15, 0, 0.01),
    List("DCO2 Octave", 1, kOctaves),
    List("DCO2 Waveform", 0, kWaveforms),
    List("DCO2 Interval", 0, kIntervals),
    Continuous("DCO2 Detune", 1, 6, 1, 0.01),
    Continuous("VCF Cutoff", 0, 63, 63, 0.01),
    Continuous("VCF Resonance", 0, 7, 0, 0.01),
    Continuous("VCF KBD Track", 0, 1, 1, 0.01),
    Continuous("VCF EG Intensity", -7, 7, 0, 0.01),
    List("VCF Type", 0, kFilterTypes),
    Continuous("EG1 Attack", 0, 15, 0, 0.01),
    Continuous("EG1 Decay", 0, 15, 0, 0.01),
    Continuous("EG1 Sustain", 0, 15, 0, 0.01),
    Continuous("EG1 Release", 0, 15, 0, 0.01),
    List("VCA EG Mode", 0, kVcaModes),
    Continuous("EG2 Attack", 0, 15, 0, 0.01),
    Continuous("EG2 Decay", 0, 15, 0, 0.01),
    Continuous("EG2 Sustain", 0, 15, 15, 0.01),
    Continuous("EG2 Release", 0, 15, 1, 0.01),
    Continuous("MG Frequency", 0, 15, 8, 0.01),
    Continuous("MG Delay", 0, 3, 0, 0.01),
    Continuous("MG DCO", 0, 7, 0, 0.01),
    Continuous("MG VCF", 0, 7, 0, 0.01),
    List("Effects Mode", 0, kEffectsModes),
    Continuous("Effects Speed/Intensity", 0, 1, 0.15, 0.01),
    Continuous("Phaser Feedback", -1, 1, -0.3, 0.005),
    Continuous("Phaser Mod. Amount", 0, 1, 0.5, 0.01),
    Continuous("Phaser Mix", 0, 1, 0.5, 0.01),
    Continuous("Chorus Mod. Amount", 0, 1, 0.25, 0.01),
    Continuous("Chorus Mix", 0, 1, 0.5, 0.01),
    Continuous("Ensemble Rate 1", 0.01, 15, 9.2, 0.1, 2),
    Continuous("Ensemble Rate 2", 0.01, 15, 1.9, 0.1, 2),
    Continuous("LFO 1/2 Mod. Balance", 0, 1, 0.92, 0.01),
    Integer("reserved", 0, 1, 0),
    Integer("reserved", 0, 1, 0),
    Integer("reserved", 0, 1, 0),
    Integer("reserved", 0, 1, 0),
    Integer("reserved", 0, 1, 0),
    Integer("reserved", 0, 1, 0),
    Integer("reserved", 0, 1, 0),
}};

int VoicesIndex(double value) {
  const double clamped = std::isfinite(value) ? std::fmin(std::fmax(value, 0.0), 7.0) : 0.0;
  return static_cast<int>(clamped);
}

}  // namespace

const std::array<ParamSpec, kParamCount>& ParameterSpecs() { return kSpecs; }

void FormatVolume(double value, char* text) {
  if (value <= 0.0) {
    std::snprintf(text, kParamTextSize, "-oo");
  } else {
    std::snprintf(text, kParamTextSize, "%.1f", 20.0 * std::log10(value));
  }
}

void FormatTune(double value, char* text) { std::snprintf(text, kParamTextSize, "%.0f", 50.0 * value); }

void FormatVoicesPoly(double value, char* text) {
  std::snprintf(text, kParamTextSize, "Polyphony: %i", kPolyPolyphony[VoicesIndex(value)]);
}

void FormatVoicesChord(double value, char* text) {
  std::snprintf(text, kParamTextSize, "Polyphony: %i", kChordPolyphony[VoicesIndex(value)]);
}

void FormatVoicesUnison(double value, char* text) {
  const int v = VoicesIndex(value);
  std::snprintf(text, kParamTextSize, "Voices: %i / Poly: %i", kUnisonVoicesPerNote[v], kUnisonPolyphony[v]);
}

void BuildParameterTable(IPlugBase& plug) {
  for (int i = 0; i < kParamCount; ++i) {
    const ParamSpec& spec = kSpecs[i];
    ParamRecord* param = plug.GetParam(i);
    switch (spec.type) {
      case ParamType::kInteger:
        param->InitInteger(spec.name, spec.defaultValue, spec.minimum, spec.maximum);
        break;
      case ParamType::kList:
        param->InitList(spec.name, spec.defaultValue, spec.textCount, spec.texts);
        break;
      case ParamType::kContinuous:
        param->InitContinuous(spec.name, spec.defaultValue, spec.minimum, spec.maximum, spec.step, spec.shape);
        break;
    }
  }
  plug.GetParam(kVolume)->SetDisplayFormatter(FormatVolume);
  plug.GetParam(kTune)->SetDisplayFormatter(FormatTune);
  plug.GetParam(kVoices)->SetDisplayFormatter(FormatVoicesPoly);
}
