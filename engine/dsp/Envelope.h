// ADSR envelope: one-pole segments aimed past their end points so that each stage ends
// in finite time.
#pragma once

#include "engine/dsp/Lanes.h"

#include <limits>

namespace engine {

enum class EnvelopeStage : int { kIdle = 0, kAttack = 1, kDecay = 2, kRelease = 3 };

// The settings every voice's envelope shares, normalised 0 ... 1 (the panel's 0 ... 15
// divided by 15), with the per-sample coefficient of each stage derived once per change.
// A stage with setting x takes about T(x) seconds from the time table to cover 90 % of its
// distance. Plain record, written under the plug-in lock between blocks.
struct EnvelopeSettings {
  // Seconds for settings 0 ... 15, interpolated linearly in between.
  static constexpr double kTimeTable[16] = {0.001, 0.005, 0.01, 0.02, 0.03, 0.04, 0.05, 0.07,
                                            0.12,  0.2,   0.35, 0.7,  1.2,  2.0,  3.0,  15.0};
  // Attack aims at 10/9 and release at -1/9: covering 90 % of the way lands on 1 or 0.
  static constexpr double kAttackTarget = 1.1111111111111112;
  static constexpr double kReleaseTarget = -0.1111111111111111;
  // A decay towards sustain 0 never reaches 0 exactly; below this level (-300 dB) the
  // envelope counts as finished instead of crawling through subnormal numbers.
  static constexpr double kSilentLevel = 1e-15;

  double attack = 0.0;
  double decay = 0.0;
  double sustain = 0.0;
  double release = 0.0;
  double timeScale = 0.002302585092994046;  // ln(10)/sampleRate; 1000 Hz until a rate is set
  // Per stage (idle, attack, decay, release): the coefficient and the level aimed at.
  double stageCoefficient[4] = {0.0, 1.0, 1.0, 1.0};
  double stageTarget[4] = {0.0, kAttackTarget, 0.0, kReleaseTarget};

  // Time scale ln(10)/sampleRate (rates that are not positive finite numbers keep 1000 Hz).
  void SetSampleRate(double sampleRate);
  void SetAttack(double x) { stageCoefficient[1] = Coefficient(attack = x); }
  void SetDecay(double x) { stageCoefficient[2] = Coefficient(decay = x); }
  void SetSustain(double x) { stageTarget[2] = sustain = x; }
  void SetRelease(double x) { stageCoefficient[3] = Coefficient(release = x); }

  // Stage time in seconds for a normalised setting.
  static double StageSeconds(double x);
  // Per-sample coefficient K/T for a normalised setting. Below about 2.3 kHz the shortest
  // stages would give K/T > 1, and a step past the target makes the decay oscillate around
  // the sustain level until it crosses 0 and cuts the note; at most 1, a stage lands on its
  // target in one sample instead.
  double Coefficient(double x) const {
    const double c = timeScale / StageSeconds(x);
    return c < 1.0 ? c : 1.0;
  }
};

// What one envelope keeps between samples: the rest follows from the stage and the settings,
// so a settings change reaches a running stage at once.
struct EnvelopeState {
  double level = 0.0;
  EnvelopeStage stage = EnvelopeStage::kIdle;

  // Note-on: attack from the current level.
  void GateOn() { stage = EnvelopeStage::kAttack; }
  // Note-off: release from the current level, or idle at once from level 0.
  void Release() {
    if (level > 0.0) {
      stage = EnvelopeStage::kRelease;
    } else {
      stage = EnvelopeStage::kIdle;
      level = 0.0;
    }
  }
  bool IsIdle() const { return stage == EnvelopeStage::kIdle; }
};

// The per-sample step over lanes. Load takes the level and stage of each lane; Step is one
// sample; the caller writes level and stage back.
template <class L>
struct EnvelopeLanes {
  using F = typename L::F64;
  F level, stage, coefficient, target;
  // The levels that end each lane's stage: at or above `ceiling` (1 in attack), at or below
  // `floor` (kSilentLevel in decay and release); NaN, which no comparison meets, where the
  // stage has no such end. The same test as comparing stage and level, with half the work.
  F ceiling, floor;

  // Lane values from plain arrays of kWidth levels and stages.
  void Load(const double* levels, const EnvelopeStage* stages, const EnvelopeSettings& s) {
    double st[L::kWidth];
    for (int i = 0; i < L::kWidth; ++i) st[i] = static_cast<int>(stages[i]) & 3;
    level = L::Load(levels);
    stage = L::Load(st);
    ApplySettings(s);
  }
  // Each lane's coefficient and target for its stage, from the settings: after Load, and
  // when the settings change while the lanes run.
  void ApplySettings(const EnvelopeSettings& s) {
    constexpr double kNever = std::numeric_limits<double>::quiet_NaN();
    double st[L::kWidth], co[L::kWidth], ta[L::kWidth], hi[L::kWidth], lo[L::kWidth];
    L::Store(st, stage);
    for (int i = 0; i < L::kWidth; ++i) {
      const int k = static_cast<int>(st[i]);
      co[i] = s.stageCoefficient[k];
      ta[i] = s.stageTarget[k];
      hi[i] = k == 1 ? 1.0 : kNever;
      lo[i] = k >= 2 ? EnvelopeSettings::kSilentLevel : kNever;
    }
    coefficient = L::Load(co);
    target = L::Load(ta);
    ceiling = L::Load(hi);
    floor = L::Load(lo);
  }
  void Save(double* levels, EnvelopeStage* stages) const {
    double st[L::kWidth];
    L::Store(levels, level);
    L::Store(st, stage);
    for (int i = 0; i < L::kWidth; ++i) stages[i] = static_cast<EnvelopeStage>(static_cast<int>(st[i]));
  }

  // decayCoefficient and sustain: the settings' stage 2 values, broadcast.
  TESVAR_LANES_INLINE void Step(F decayCoefficient, F sustain) {
    using M = typename L::Mask;
    // Idle lanes rest at level 0 with coefficient and target 0, so the update leaves them
    // exactly where they are.
    level = level + (target - level) * coefficient;
    const M reached = level >= ceiling;  // the attack's end: on to decay
    const M ended = level <= floor;      // a decay or release at silence: idle
    if (L::Any(reached | ended)) {
      const F zero = L::Broadcast(0.0);
      const F never = L::Broadcast(std::numeric_limits<double>::quiet_NaN());
      level = L::Select(reached, L::Broadcast(1.0), L::Select(ended, zero, level));
      stage = L::Select(reached, L::Broadcast(2.0), L::Select(ended, zero, stage));
      coefficient = L::Select(reached, decayCoefficient, L::Select(ended, zero, coefficient));
      target = L::Select(reached, sustain, L::Select(ended, zero, target));
      ceiling = L::Select(reached | ended, never, ceiling);
      floor = L::Select(reached, L::Broadcast(EnvelopeSettings::kSilentLevel), L::Select(ended, never, floor));
    }
  }
};

}  // namespace engine
