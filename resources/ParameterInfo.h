// The 51 parameters' fixed metadata: names, kinds, ranges, defaults, steps, curves and
// list texts, as plain constexpr data. The indices are the parameters' identity in state
// chunks, program and bank files, the MIDI map and the tape importer: never reorder.
// Used by the factory-bank generator (tools/make_bank.cpp); free of any dependency so the
// plug-in's own parameter table can be built from the same rows.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace resources {

enum class ParamKind { Continuous, Integer, List };

struct ParameterInfo {
  std::string_view name;
  ParamKind kind;
  double minValue;
  double maxValue;
  double defaultValue;
  double step;
  double shape;                            // curve exponent of the normalised mapping; 1 = linear
  std::span<const char* const> listTexts;  // one text per value for List, empty otherwise
};

inline constexpr std::size_t kParameterCount = 51;

inline constexpr const char* kWheelDestinationTexts[] = {"TO DCO", "TO VCF"};
inline constexpr const char* kModeTexts[] = {"Poly", "Chord", "Unison"};
inline constexpr const char* kOctaveTexts[] = {"16'", "8'", "4'"};
// DCO2 shows the same three texts as DCO1, although the engine reads them as off,
// sawtooth and square.
inline constexpr const char* kWaveformTexts[] = {"Sawtooth", "PW", "PWM"};
inline constexpr const char* kIntervalTexts[] = {"1", "-3", "3", "4", "5"};
inline constexpr const char* kFilterTypeTexts[] = {"12dB/Oct", "24dB/Oct"};
inline constexpr const char* kVcaModeTexts[] = {"EG2", "EG1"};
inline constexpr const char* kEffectsModeTexts[] = {"Off", "Chorus", "Phaser", "Ensemble"};

namespace detail {
constexpr ParameterInfo Continuous(std::string_view name, double lo, double hi, double def, double step,
                                   double shape = 1.0) {
  return {name, ParamKind::Continuous, lo, hi, def, step, shape, {}};
}
constexpr ParameterInfo Integer(std::string_view name, double lo, double hi, double def) {
  return {name, ParamKind::Integer, lo, hi, def, 1.0, 1.0, {}};
}
constexpr ParameterInfo List(std::string_view name, std::span<const char* const> texts, double def) {
  return {name, ParamKind::List, 0.0, double(texts.size() - 1), def, 1.0, 1.0, texts};
}
}  // namespace detail

inline constexpr std::array<ParameterInfo, kParameterCount> kParameterInfo = {{
    detail::Continuous("Volume", 0, 1, 0.5, 0.01),
    detail::Continuous("Tune", -1, 1, 0, 0.01),
    detail::Integer("Bend", 0, 12, 2),
    detail::Continuous("Mod.Wheel Frequency", 0.3, 15, 5.6, 0.1, 2),
    detail::List("Mod.Wheel Destination", kWheelDestinationTexts, 0),
    detail::List("Mode", kModeTexts, 0),
    detail::Integer("Voices", 0, 7, 2),
    detail::Continuous("Spread", 0, 1, 0, 0.01),
    detail::List("DCO1 Octave", kOctaveTexts, 1),
    detail::List("DCO1 Waveform", kWaveformTexts, 0),
    detail::Continuous("DCO1 PW/PWM", 0, 7, 0, 0.01),
    detail::Continuous("DCO1 PWM Frequency", 0, 15, 0, 0.01),
    detail::List("DCO2 Octave", kOctaveTexts, 1),
    detail::List("DCO2 Waveform", kWaveformTexts, 0),
    detail::List("DCO2 Interval", kIntervalTexts, 0),
    detail::Continuous("DCO2 Detune", 1, 6, 1, 0.01),
    detail::Continuous("VCF Cutoff", 0, 63, 63, 0.01),
    detail::Continuous("VCF Resonance", 0, 7, 0, 0.01),
    detail::Continuous("VCF KBD Track", 0, 1, 1, 0.01),
    detail::Continuous("VCF EG Intensity", -7, 7, 0, 0.01),
    detail::List("VCF Type", kFilterTypeTexts, 0),
    detail::Continuous("EG1 Attack", 0, 15, 0, 0.01),
    detail::Continuous("EG1 Decay", 0, 15, 0, 0.01),
    detail::Continuous("EG1 Sustain", 0, 15, 0, 0.01),
    detail::Continuous("EG1 Release", 0, 15, 0, 0.01),
    detail::List("VCA EG Mode", kVcaModeTexts, 0),
    detail::Continuous("EG2 Attack", 0, 15, 0, 0.01),
    detail::Continuous("EG2 Decay", 0, 15, 0, 0.01),
    detail::Continuous("EG2 Sustain", 0, 15, 15, 0.01),
    detail::Continuous("EG2 Release", 0, 15, 1, 0.01),
    detail::Continuous("MG Frequency", 0, 15, 8, 0.01),
    detail::Continuous("MG Delay", 0, 3, 0, 0.01),
    detail::Continuous("MG DCO", 0, 7, 0, 0.01),
    detail::Continuous("MG VCF", 0, 7, 0, 0.01),
    detail::List("Effects Mode", kEffectsModeTexts, 0),
    detail::Continuous("Effects Speed/Intensity", 0, 1, 0.15, 0.01),
    detail::Continuous("Phaser Feedback", -1, 1, -0.3, 0.005),
    detail::Continuous("Phaser Mod. Amount", 0, 1, 0.5, 0.01),
    detail::Continuous("Phaser Mix", 0, 1, 0.5, 0.01),
    detail::Continuous("Chorus Mod. Amount", 0, 1, 0.25, 0.01),
    detail::Continuous("Chorus Mix", 0, 1, 0.5, 0.01),
    detail::Continuous("Ensemble Rate 1", 0.01, 15, 9.2, 0.1, 2),
    detail::Continuous("Ensemble Rate 2", 0.01, 15, 1.9, 0.1, 2),
    detail::Continuous("LFO 1/2 Mod. Balance", 0, 1, 0.92, 0.01),
    // Seven reserved slots keep the index space of the stored formats; they do nothing.
    detail::Integer("reserved", 0, 1, 0),
    detail::Integer("reserved", 0, 1, 0),
    detail::Integer("reserved", 0, 1, 0),
    detail::Integer("reserved", 0, 1, 0),
    detail::Integer("reserved", 0, 1, 0),
    detail::Integer("reserved", 0, 1, 0),
    detail::Integer("reserved", 0, 1, 0),
}};

}  // namespace resources
