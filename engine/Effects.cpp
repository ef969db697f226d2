// Per-tick rate and coefficient updates of the effects.
#include "engine/Effects.h"

#include <cmath>
#include <numbers>

#include "engine/EffectsBlock.h"
#include "engine/dsp/Lanes.h"
#if defined(__SSE2__)
#include "engine/dsp/LanesSse2.h"
#endif

namespace engine {
namespace {

double Wrap(double p) { return p >= 1.0 ? p - 2.0 : p; }

// Sine of an LFO phase -1 ... 1 mapped to 0 ... 1.
double SineUnipolar(double phase) { return 0.5 * std::sin(std::numbers::pi * Wrap(phase)) + 0.5; }

}  // namespace

Effects::Effects() { phaser_.SetSampleRate(44100.0); }

void Effects::SetSampleRate(double sampleRate) {
  phaser_.SetSampleRate(sampleRate);
  chorus_.Init(sampleRate, kDelaySeconds);
  chorus_.SetBaseRate(kBaseRate);
  for (BrigadeDelay& d : ensemble_) d.Init(sampleRate, kDelaySeconds);
  for (BrigadeDelay& d : ensemble_) d.SetBaseRate(kBaseRate);
}

void Effects::Tick(const EngineSettings& s) {
  switch (s.effectsMode) {
    case EffectsMode::kChorus:
      effectsLfo_.step = s.effectsLfoStep;
      effectsLfo_.Advance();
      // Between base and base + 0.2: a delay of about 22.5 ... 29.5 ms at base 0.5.
      chorus_.SetRate(s.chorusModAmount * effectsLfo_.unipolar * 0.2 + chorus_.BaseRate());
      break;
    case EffectsMode::kPhaser: {
      effectsLfo_.step = s.effectsLfoStep;
      effectsLfo_.Advance();
      const double u = effectsLfo_.unipolar;
      phaser_.Update(s.phaserModAmount * u * u, s.phaserFeedback);
      break;
    }
    case EffectsMode::kEnsemble: {
      ensembleLfo1_.step = s.ensembleStep1;
      ensembleLfo2_.step = s.ensembleStep2;
      ensembleLfo1_.Advance();
      ensembleLfo2_.Advance();
      // Two sines, each read at three phases 120 degrees apart (0.667 of the half range),
      // weighted by the balance and scaled by the intensity.
      const double p1 = ensembleLfo1_.phase;
      const double p2 = ensembleLfo2_.phase;
      const double h = s.effectsSpeed * s.lfoBalance;
      const double g = s.effectsSpeed - h;
      constexpr double kOffset1[3] = {0.0, 0.667, 1.333};
      constexpr double kOffset2[3] = {0.667, 1.333, 0.0};
      for (int k = 0; k < 3; ++k) {
        const double value =
            (SineUnipolar(p2 + kOffset2[k]) * h + SineUnipolar(p1 + kOffset1[k]) * g) * 0.2 + ensemble_[k].BaseRate();
        ensemble_[k].SetRate(value);
      }
      break;
    }
    case EffectsMode::kOff: break;
  }
}

namespace {

// The delay-line effects over the two-lane set L2.
template <class L2>
void DelayEffect(const EngineSettings& s, BrigadeDelay& chorus, BrigadeDelay* ensemble, double* left, double* right,
                 int frames) {
  if (s.effectsMode == EffectsMode::kChorus) {
    EffectsBlock<L2>::Chorus(chorus, s.chorusMix, left, right, frames);
  } else {
    EffectsBlock<L2>::Ensemble(ensemble, left, right, frames);
  }
}

}  // namespace

bool Effects::ProcessBlock(const EngineSettings& settings, double* left, double* right, int frames) {
  if (settings.effectsMode == EffectsMode::kOff) return false;
  if (frames <= 0) return true;
  // The phaser runs on the two-lane array on every path: it measured faster than its vector
  // form (the same samples).
  if (settings.effectsMode == EffectsMode::kPhaser) {
    EffectsBlock<ArrayLanes<2>>::Phase(phaser_, settings.phaserMix, left, right, frames);
    return true;
  }
#if defined(__SSE2__)
  if (vectorLanes_) {
    DelayEffect<Sse2Lanes>(settings, chorus_, ensemble_, left, right, frames);
    return true;
  }
#endif
  DelayEffect<ArrayLanes<2>>(settings, chorus_, ensemble_, left, right, frames);
  return true;
}

}  // namespace engine
