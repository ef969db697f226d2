// The stereo effect after the voice mix: chorus, phaser or ensemble, with their LFOs.
#pragma once

#include "engine/dsp/BrigadeDelay.h"
#include "engine/dsp/ControlLfo.h"
#include "engine/EngineSettings.h"
#include "engine/dsp/Phaser.h"

namespace engine {

// Owned by the product. SetSampleRate on the dispatcher thread (it allocates the delay
// cells); Tick once per control tick and Process per sample on the audio thread. Switching
// modes clears nothing: delay cells and phaser states keep their contents.
class Effects {
 public:
  static constexpr double kDelaySeconds = 0.04;
  static constexpr double kBaseRate = 0.5;

  Effects();

  // Phaser re-derived for the rate; the four delays re-initialised (their rate still from
  // the previous base rate until the next tick), then each base rate set to 0.5.
  void SetSampleRate(double sampleRate);

  // Control tick for the current effects mode: advances its LFOs and sets delay rates or
  // phaser coefficients.
  void Tick(const EngineSettings& settings);

  // The mix's effect path: the vector unit's two lanes (left and right side by side) or
  // plain doubles, with the same samples either way.
  void SetLanes(bool vector) { vectorLanes_ = vector; }

  // `frames` stereo samples of the mix in place, through the effect the settings select;
  // false (samples untouched) when the effects are off.
  bool ProcessBlock(const EngineSettings& settings, double* left, double* right, int frames);

  const BrigadeDelay& Chorus() const { return chorus_; }
  const BrigadeDelay& Ensemble(int k) const { return ensemble_[k]; }

 private:
  BrigadeDelay chorus_;
  BrigadeDelay ensemble_[3];
  Phaser phaser_;
  ControlLfo effectsLfo_;
  ControlLfo ensembleLfo1_;
  ControlLfo ensembleLfo2_;
  bool vectorLanes_ = false;
};

}  // namespace engine
