// Voices side by side over a lane set, one lane per voice: the per-sample voice path, the
// packs the render loop keeps of it, and the moves of the voices' state into the lanes and
// back.
#pragma once

#include "engine/Modulation.h"
#include "engine/SoundingVoices.h"
#include "engine/Voice.h"
#include "engine/dsp/Lanes.h"

namespace engine {

// Spans are mixed in pieces of at most this many samples. The mix scratch holds one piece
// of every group's four voices: voice 4g+k's sample n at g's place * kGroupStride + 4n + k.
inline constexpr int kMixChunk = 64;
inline constexpr int kGroupStride = kMixChunk * kGroupSize;
inline constexpr int kMixScratch = kGroupCount * kGroupStride;

// The patch's switches of the per-sample path, read once per span.
struct VoiceSwitches {
  bool dco1On = true;
  bool dco2On = true;
  bool ampFromEg2 = true;
  bool slope24 = false;
  bool wholeCutoff = true;

  static VoiceSwitches For(const VoicePatch& p) {
    return {p.dco1.wave != kWaveOff, p.dco2.wave != kWaveOff, p.vcaUsesEg2, p.vcf.mode24, p.vcf.wholeTarget};
  }
};

// The whole per-sample voice path over lane set L, one lane per voice. Every operation is
// lane by lane, so a lane computes exactly its voice's samples whatever shares the set.
template <class L>
struct VoiceLanes {
  using F = typename L::F64;
  static constexpr int kVoices = L::kWidth;

  EnvelopeLanes<L> eg1;
  EnvelopeLanes<L> eg2;
  OscillatorLanes<L> dco1;
  OscillatorLanes<L> dco2;
  LadderLanes<L> vcf;
  F filterModulation;
  // Shared by all lanes.
  F depth, decay1, sustain1, decay2, sustain2;

  void Load(Voice* const* v, const VoicePatch& p) {
    double level1[kVoices], level2[kVoices], tracking[kVoices];
    EnvelopeStage stage1[kVoices], stage2[kVoices];
    const OscillatorState* o1[kVoices];
    const OscillatorState* o2[kVoices];
    const LadderState* f[kVoices];
    for (int i = 0; i < kVoices; ++i) {
      level1[i] = v[i]->eg1_.level;
      stage1[i] = v[i]->eg1_.stage;
      level2[i] = v[i]->eg2_.level;
      stage2[i] = v[i]->eg2_.stage;
      tracking[i] = v[i]->filterModulation_;
      o1[i] = &v[i]->dco1_;
      o2[i] = &v[i]->dco2_;
      f[i] = &v[i]->vcf_;
    }
    eg1.Load(level1, stage1, p.eg1);
    eg2.Load(level2, stage2, p.eg2);
    dco1.Load(o1, p.dco1);
    dco2.Load(o2, p.dco2);
    vcf.Load(f, p.vcf);
    filterModulation = L::Load(tracking);
    ApplyShared(p);
  }

  // A changed patch into running lanes: the same lane values Save and Load would give.
  void ApplyPatch(const VoicePatch& p) {
    eg1.ApplySettings(p.eg1);
    eg2.ApplySettings(p.eg2);
    dco1.ApplySettings(p.dco1);
    dco2.ApplySettings(p.dco2);
    vcf.ApplySettings(p.vcf);
    ApplyShared(p);
  }

  // Writes every lane back (lanes that run one voice hold the same state).
  void Save(Voice* const* v) const {
    double level1[kVoices], level2[kVoices], tracking[kVoices];
    EnvelopeStage stage1[kVoices], stage2[kVoices];
    OscillatorState* o1[kVoices];
    OscillatorState* o2[kVoices];
    LadderState* f[kVoices];
    eg1.Save(level1, stage1);
    eg2.Save(level2, stage2);
    L::Store(tracking, filterModulation);
    for (int i = 0; i < kVoices; ++i) {
      v[i]->eg1_.level = level1[i];
      v[i]->eg1_.stage = stage1[i];
      v[i]->eg2_.level = level2[i];
      v[i]->eg2_.stage = stage2[i];
      v[i]->filterModulation_ = tracking[i];
      o1[i] = &v[i]->dco1_;
      o2[i] = &v[i]->dco2_;
      f[i] = &v[i]->vcf_;
    }
    dco1.Save(o1);
    dco2.Save(o2);
    vcf.Save(f);
  }

  // The control tick of the lanes' voices (Voice::UpdateControl on each): pitch, pulse width
  // and filter tracking follow the modulation. idle[i] tells whether lane i's amplifier
  // envelope is idle, so that its voice stops sounding.
  void Tick(Voice* const* v, const ModulationValues& mod, const VoicePatch& p, bool* idle) {
    int pitch1[kVoices], pitch2[kVoices];
    double tracking[kVoices];
    for (int i = 0; i < kVoices; ++i) {
      pitch1[i] = v[i]->ControlPitch(mod);
      pitch2[i] = pitch1[i] + p.dco2Detune;
      tracking[i] = v[i]->FilterTracking(mod, p);
    }
    dco1.SetPitch(pitch1, OscillatorWidth::For(Voice::Dco1Width(mod), p.dco1), p.dco1, p.Rates());
    dco2.SetPitch(pitch2, OscillatorWidth::For(Voice::kDco2Width, p.dco2), p.dco2, p.Rates());
    filterModulation = L::Load(tracking);
    double stage[kVoices];
    L::Store(stage, p.vcaUsesEg2 ? eg2.stage : eg1.stage);
    for (int i = 0; i < kVoices; ++i) idle[i] = stage[i] == static_cast<double>(EnvelopeStage::kIdle);
  }

  // One sample: envelopes, oscillators, filter, amplifier. The switches and each
  // oscillator's pulse mode come from the caller's registers; after the samples the caller
  // counts them into the oscillators (Skip).
  TESVAR_LANES_INLINE F Sample(const VoiceSwitches& on, bool pulse1, bool pulse2, const double* tables) {
    eg1.Step(decay1, sustain1);
    eg2.Step(decay2, sustain2);
    // Cutoff modulation in whole pitch codes (truncated toward zero).
    const F m = L::ToF64(L::Truncate(depth * eg1.level + filterModulation));
    const F zero = L::Broadcast(0.0);
    const F osc2 = on.dco2On ? dco2.Render(tables, pulse2) : zero;
    const F osc1 = on.dco1On ? dco1.Render(tables, pulse1) : zero;
    return vcf.Process(osc2 + osc1, m, on.slope24, on.wholeCutoff) * (on.ampFromEg2 ? eg2.level : eg1.level);
  }
  // The oscillators' part of `samples` samples just rendered.
  void Skip(const VoiceSwitches& on, int samples) {
    if (on.dco1On) dco1.Skip(samples);
    if (on.dco2On) dco2.Skip(samples);
  }

 private:
  void ApplyShared(const VoicePatch& p) {
    depth = L::Broadcast(p.envelopeDepth);
    decay1 = L::Broadcast(p.eg1.stageCoefficient[2]);
    sustain1 = L::Broadcast(p.eg1.sustain);
    decay2 = L::Broadcast(p.eg2.stageCoefficient[2]);
    sustain2 = L::Broadcast(p.eg2.sustain);
  }
};

// R registers of L side by side as one lane set (WideLanes: every operation over all R
// registers at once, so that the processor works on R recursions together). The pack stays
// in the render loop's memory while its voices sound: loaded when they start sounding,
// saved back when something outside must read or change them, and in between it follows
// the control ticks (Tick) and the patch (ApplyPatch) in place. Lanes past the pack's
// voices run its last voice again and write nothing.
template <class L, int R>
struct VoicePack {
  using W = WideLanes<L, R>;
  static constexpr int kVoices = W::kWidth;

  VoiceLanes<W> lanes;
  VoiceSwitches switches;
  const double* tables = nullptr;
  // The lanes in chunks of at most a group's size (a register, or a quarter of a register
  // of eight lanes).
  static constexpr int kChunk = L::kWidth < kGroupSize ? L::kWidth : kGroupSize;
  static constexpr int kChunks = kVoices / kChunk;
  // Where the samples go (Place): lane i's at place[i] + 4n (null for the spare lanes);
  // whole[c] when chunk c holds consecutive voices of one group, stored at once.
  double* place[kVoices] = {};
  double* whole[kChunks] = {};

  void Load(Voice* const* v, const VoicePatch& p, const double* wavetables) {
    tables = wavetables;
    lanes.Load(v, p);
    switches = VoiceSwitches::For(p);
  }
  void ApplyPatch(const VoicePatch& p) {
    lanes.ApplyPatch(p);
    switches = VoiceSwitches::For(p);
  }
  void Save(Voice* const* v) const { lanes.Save(v); }
  void Tick(Voice* const* v, const ModulationValues& mod, const VoicePatch& p, bool* idle) {
    lanes.Tick(v, mod, p, idle);
  }

  // The places of the pack's `count` voices (ascending indices) in `scratch`, whose groups
  // sit at rank[g] (their order among the sounding groups).
  void Place(double* scratch, const int* indices, int count, const int* rank) {
    for (int i = 0; i < kVoices; ++i) {
      place[i] = nullptr;  // the spare lanes' samples are dropped
      if (i < count) place[i] = scratch + rank[indices[i] / kGroupSize] * kGroupStride + indices[i] % kGroupSize;
    }
    for (int c = 0; c < kChunks; ++c) {
      const int first = c * kChunk;
      bool consecutive = first + kChunk <= count && indices[first] % kChunk == 0;
      for (int i = 1; consecutive && i < kChunk; ++i) consecutive = indices[first + i] == indices[first] + i;
      whole[c] = consecutive ? place[first] : nullptr;
    }
  }

  // Renders `frames` samples (1 ... kMixChunk) to the places.
  void Render(int frames) {
    constexpr int kLanes = L::kWidth;
    constexpr int kPerRegister = kLanes / kChunk;
    // The switches in registers for the whole loop (memory could change under any store).
    const VoiceSwitches on = switches;
    const bool pulse1 = lanes.dco1.anyPulse;
    const bool pulse2 = lanes.dco2.anyPulse;
    for (int n = 0; n < frames; ++n) {
      const typename W::F64 s = lanes.Sample(on, pulse1, pulse2, tables);
      const int at = n * kGroupSize;
      for (int r = 0; r < R; ++r) {
        if (kPerRegister == 1 && whole[r] != nullptr) {
          L::Store(whole[r] + at, s.v[r]);
          continue;
        }
        double samples[kLanes];
        L::Store(samples, s.v[r]);
        for (int h = 0; h < kPerRegister; ++h) {
          const int c = r * kPerRegister + h;
          if (whole[c] != nullptr) {
            for (int i = 0; i < kChunk; ++i) whole[c][at + i] = samples[h * kChunk + i];
            continue;
          }
          for (int i = 0; i < kChunk; ++i) {
            if (place[c * kChunk + i] != nullptr) place[c * kChunk + i][at] = samples[h * kChunk + i];
          }
        }
      }
    }
    lanes.Skip(on, frames);
  }
};

}  // namespace engine
