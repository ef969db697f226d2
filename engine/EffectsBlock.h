// The effects' per-sample loops over a two-lane set (left in lane 0, right in lane 1).
#pragma once

#include "engine/Effects.h"

namespace engine {

template <class L2>
struct EffectsBlock {
  using F = typename L2::F64;

  static TESVAR_LANES_INLINE F Read(const double* left, const double* right, int i) {
    return L2::LoadTwo(left + i, right + i);
  }
  static TESVAR_LANES_INLINE void Write(double* left, double* right, int i, F x) {
    L2::StoreTwo(left + i, right + i, x);
  }

  static void Chorus(BrigadeDelay& line, double mixValue, double* __restrict left, double* __restrict right,
                     int frames) {
    BrigadeDelayLanes<L2> lanes;
    lanes.Load(line);
    const F mix = L2::Broadcast(mixValue);
    for (int i = 0; i < frames; ++i) {
      const F dry = Read(left, right, i);
      lanes.Input(dry);
      CatmullRomTerms<L2> input;
      input.From(lanes.inHistory);
      const F wet = lanes.Clock(line, input);
      Write(left, right, i, dry + (wet - dry) * mix);
    }
    lanes.Save(line);
  }

  static void Phase(Phaser& phaser, double mixValue, double* __restrict left, double* __restrict right, int frames) {
    PhaserLanes<L2> lanes;
    lanes.Load(phaser);
    const F mix = L2::Broadcast(mixValue);
    for (int i = 0; i < frames; ++i) Write(left, right, i, lanes.Process(Read(left, right, i), mix));
    lanes.Save(phaser);
  }

  // Fully wet: three lines at a third each, no dry signal. The three lines always take the
  // same input through identical filters, so one input side serves all three.
  static void Ensemble(BrigadeDelay* lines, double* __restrict left, double* __restrict right, int frames) {
    BrigadeDelayLanes<L2> lanes[3];
    for (int k = 0; k < 3; ++k) lanes[k].Load(lines[k]);
    const F third = L2::Broadcast(0.333);
    for (int i = 0; i < frames; ++i) {
      lanes[0].Input(Read(left, right, i));
      CatmullRomTerms<L2> input;
      input.From(lanes[0].inHistory);
      const F a = lanes[0].Clock(lines[0], input);
      const F b = lanes[1].Clock(lines[1], input);
      const F c = lanes[2].Clock(lines[2], input);
      Write(left, right, i, (a + b + c) * third);
    }
    for (int k = 1; k < 3; ++k) {
      lanes[k].in = lanes[0].in;
      for (int j = 0; j < 4; ++j) lanes[k].inHistory[j] = lanes[0].inHistory[j];
    }
    for (int k = 0; k < 3; ++k) lanes[k].Save(lines[k]);
  }
};

}  // namespace engine
