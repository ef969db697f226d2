// The product's engine quantities derived from the 51 parameters, and the rule that
// derives them.
#pragma once

#include "engine/VoicePatch.h"

namespace engine {

// What the caller of Apply must do after it.
struct SettingsFollowUp {
  bool reconfigureVoices = false;  // mode or voices setting changed: ReconfigureVoices
  bool updatePanGains = false;     // spread changed: UpdatePanGains
  bool updateOutputGain = false;   // output level changed: gain = level * unison gain
  bool voicePatch = false;         // the voice patch changed: the running voices take it
};

// "Effects Mode": the effect after the voice mix.
enum class EffectsMode : int { kOff = 0, kChorus = 1, kPhaser = 2, kEnsemble = 3 };
// The parameter's value as a mode; anything outside 0 ... 3 is off.
EffectsMode EffectsModeFromIndex(int index);

// DCO2 wave code: waveform 0 is off (5), 2 is a plain square (1), 1 is the stacked-square
// sawtooth, four squares at 16' (2), three at 8' (3), two at 4' (4).
int Dco2WaveCode(int waveform, int octave);

// Plain record owned by the product. Written by Apply from ParameterChanged (under the
// plug-in lock, so never during a block), read by the render loop's control tick. The
// initial values are the engine's construction defaults; the product pushes every parameter
// through Apply before the first block anyway.
struct EngineSettings {
  // Output and pitch.
  double outputLevel = 0.25;  // 0.5 * normalised "Volume"
  double tuneOffset = 0.0;    // pitch code, +-128
  double bendRange = 256.0;   // pitch code per unit of bend, 0 ... 1536
  // Wheel vibrato.
  double wheelLfoStep = 0.0112;  // per tick; 2*Hz/1000
  bool wheelToFilter = false;
  // Key assign (the voice allocation acts on these).
  int mode = 0;           // 0 Poly, 1 Chord, 2 Unison
  int voicesSetting = 0;  // 0 ... 7; Chord mode may lower it below the parameter
  // The "Voices" value itself: every reconfiguration starts from it, so a setting lowered
  // for a large chord does not stay lowered in another mode (where a saved and reloaded
  // program would sound with the full setting).
  int voicesParameter = 0;
  double spread = 0.0;  // 0 ... 1
  // Oscillators.
  int dco1Waveform = 0;  // 0 saw, 1 PW, 2 PWM
  bool pwmActive = false;
  double pulseDepth = 0.0;  // 0 ... 0.85
  bool pwmOwnLfo = false;
  double pwmLfoStep = 0.0003;
  int dco2Octave = 1;
  int dco2Waveform = 0;
  // Filter.
  double cutoffKnob = 63.0;      // 0 ... 63
  double egIntensityKnob = 0.0;  // -7 ... 7
  double baseCutoff = 17280.0;   // pitch code every voice rests at
  // MG.
  double mgLfoStep = 0.0003;
  double mgDelayStep = 1.0;    // ramp gained per tick after a restart
  double mgPitchDepth = 0.0;   // pitch code, 0 ... 128
  double mgFilterDepth = 0.0;  // pitch code, 0 ... 3968
  // Effects.
  EffectsMode effectsMode = EffectsMode::kOff;
  double effectsSpeed = 0.15;
  double effectsLfoStep = 0.0003;  // chorus and phaser LFO, per tick
  double phaserFeedback = -0.3;
  double phaserModAmount = 0.5;
  double phaserMix = 0.5;
  double chorusModAmount = 0.25;
  double chorusMix = 0.5;
  double ensembleStep1 = 0.0184;
  double ensembleStep2 = 0.0038;
  double lfoBalance = 0.92;
  // What every voice reads, in engine units.
  VoicePatch patch;

  // Applies parameter `index` (0 ... 50) with plain value v, normalised e = its 0 ... 1
  // position and i = v truncated: updates the fields above and the voice patch. Out-of-range
  // indices do nothing. Runs on the caller's thread under the plug-in lock; no allocation.
  SettingsFollowUp Apply(int index, double v, double e);
  // The part of Apply for the parameters the voice patch holds; false for any other index.
  bool ApplyToPatch(int index, double v, double e);

  // The resting cutoff from the two knobs, into the patch as a whole pitch code.
  void SetBaseCutoff();

  // (cutoff - EG intensity)/63 limited to 0 ... 1, times 17280: each unit of EG intensity
  // lowers the resting cutoff by 17280/63 while the envelope at full level adds 17280*0.85/7.
  static double BaseCutoff(double cutoffKnob, double egIntensityKnob);
  // The effects LFO step for a speed/intensity value: (2*x*x*14.7 + 0.3)/1000.
  static double EffectsLfoStep(double speed);
  // The chorus and the phaser run on the effects LFO; its step follows the speed only then.
  bool UsesEffectsLfo() const { return effectsMode == EffectsMode::kChorus || effectsMode == EffectsMode::kPhaser; }
};

}  // namespace engine
