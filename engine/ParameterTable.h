// The instrument's 51 parameters by index, and how they are declared in the core's records
// (the rows themselves are in resources/ParameterInfo.h, shared with the bank generator).
// Indices are fixed: state chunks, program files, the MIDI map and the tape importer all
// address parameters by them.
#pragma once

class IPlugBase;

enum ParamIndex : int {
  kVolume = 0,
  kTune,
  kBend,
  kWheelFrequency,
  kWheelDestination,
  kMode,
  kVoices,
  kSpread,
  kDco1Octave,
  kDco1Waveform,
  kDco1PulseWidth,
  kDco1PwmFrequency,
  kDco2Octave,
  kDco2Waveform,
  kDco2Interval,
  kDco2Detune,
  kVcfCutoff,
  kVcfResonance,
  kVcfKbdTrack,
  kVcfEgIntensity,
  kVcfType,
  kEg1Attack,
  kEg1Decay,
  kEg1Sustain,
  kEg1Release,
  kVcaEgMode,
  kEg2Attack,
  kEg2Decay,
  kEg2Sustain,
  kEg2Release,
  kMgFrequency,
  kMgDelay,
  kMgDco,
  kMgVcf,
  kEffectsMode,
  kEffectsSpeed,
  kPhaserFeedback,
  kPhaserModAmount,
  kPhaserMix,
  kChorusModAmount,
  kChorusMix,
  kEnsembleRate1,
  kEnsembleRate2,
  kLfoBalance,
  kReserved1,
  kParamCount = 51
};

// Declares every parameter in the core's records, with the special display texts.
void BuildParameterTable(IPlugBase& plug);

// The display texts of the three parameters that do not show a plain number or list text.
void FormatVolume(double value, char* text);
void FormatTune(double value, char* text);
// "Voices" follows the key-assign mode; the product switches it when the mode changes.
void FormatVoicesPoly(double value, char* text);
void FormatVoicesChord(double value, char* text);
void FormatVoicesUnison(double value, char* text);
