// The stereo effect after the voice mix: chorus, phaser or ensemble, with their LFOs.
#pragma once

#include "engine/BrigadeDelay.h"
#include "engine/ControlLfo.h"
#include "engine/EngineSettings.h"
#include "engine/Phaser.h"

namespace engine {

enum class EffectsMode : int { kOff = 0, kChorus = 1, kPhaser = 2, kEnsemble = 3 };

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

  // One stereo sample of the mix, in place.
  void Process(const EngineSettings& settings, double& left, double& right) {
    switch (settings.effectsMode) {
      case 1: {
        const double dryL = left, dryR = right;
        chorus_.Process(left, right);
        left = dryL + (left - dryL) * settings.chorusMix;
        right = dryR + (right - dryR) * settings.chorusMix;
        break;
      }
      case 2: phaser_.Process(left, right, settings.phaserMix); break;
      case 3: {
        // Fully wet: three lines at a third each, no dry signal.
        double l1 = left, r1 = right, l2 = left, r2 = right;
        ensemble_[0].Process(l1, r1);
        ensemble_[1].Process(l2, r2);
        ensemble_[2].Process(left, right);
        left = (l1 + l2 + left) * 0.333;
        right = (r1 + r2 + right) * 0.333;
        break;
      }
      default: break;
    }
  }

  // `frames` stereo samples in place.
  void ProcessBlock(const EngineSettings& settings, double* left, double* right, int frames) {
    if (settings.effectsMode < 1 || settings.effectsMode > 3) return;
    for (int i = 0; i < frames; ++i) Process(settings, left[i], right[i]);
  }

  const BrigadeDelay& Chorus() const { return chorus_; }
  const BrigadeDelay& Ensemble(int k) const { return ensemble_[k]; }
  const Phaser& GetPhaser() const { return phaser_; }
  const ControlLfo& EffectsLfo() const { return effectsLfo_; }

 private:
  BrigadeDelay chorus_;
  BrigadeDelay ensemble_[3];
  Phaser phaser_;
  ControlLfo effectsLfo_;
  ControlLfo ensembleLfo1_;
  ControlLfo ensembleLfo2_;
};

}  // namespace engine
