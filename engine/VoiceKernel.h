// The voice path over lanes: groups of four voices rendered side by side, one lane per
// voice, with the same operations on every path (scalar, SSE2, AVX2) so that all give the
// same samples.
#pragma once

#include "engine/Voice.h"
#include "engine/VoiceLayout.h"
#include "engine/dsp/Lanes.h"

namespace engine {

// Voices are rendered in fixed groups of four (voices 4g ... 4g+3) and mixed in one
// canonical order, whatever the path and whichever voices sound: per sample, lane k of the
// mix sums voice 4g+k's panned output over the groups g in ascending order (a silent
// voice adds nothing, which equals adding +0.0 to a sum that starts at +0.0), and a
// channel's sample is (lane0 + lane2) + (lane1 + lane3).
inline constexpr int kGroupSize = 4;
inline constexpr int kGroupCount = kVoiceCount / kGroupSize;
// Spans are mixed in pieces of at most this many samples.
inline constexpr int kMixChunk = 64;

enum class VoicePath : int { kScalar = 0, kSse2 = 1, kAvx2 = 2 };

// The most capable path this processor runs (AVX2 only in 64-bit x86 builds).
VoicePath BestVoicePath();
// `wanted`, or the best available path below it.
VoicePath AvailableVoicePath(VoicePath wanted);
const char* VoicePathName(VoicePath path);

// One piece of a span. mixLeft/mixRight hold frames * 4 lane sums, cleared by the caller.
struct VoiceMixJob {
  Voice* voices = nullptr;  // all 64
  const bool* sounding = nullptr;  // per voice: rendered and mixed (else left untouched)
  const VoicePatch* patch = nullptr;
  const double* gainLeft = nullptr;  // per voice
  const double* gainRight = nullptr;
  const double* tables = nullptr;  // Wavetables::Data()
  int frames = 0;                   // 1 ... kMixChunk
  double* mixLeft = nullptr;
  double* mixRight = nullptr;
};

// Renders and mixes the listed groups (ascending, each with at least one sounding voice).
// The voices of those groups that are not sounding come out changed: the caller keeps
// copies and puts them back.
using VoiceMixFunction = void (*)(const VoiceMixJob& job, const int* groups, int groupCount);
VoiceMixFunction MixFunctionFor(VoicePath path);

// The whole per-sample voice path over one lane set W (a WideLanes): one lane per voice.
template <class W>
struct VoicePack {
  using F = typename W::F64;
  static constexpr int kVoices = W::kWidth;

  EnvelopeLanes<W> eg1;
  EnvelopeLanes<W> eg2;
  OscillatorLanes<W> dco1;
  OscillatorLanes<W> dco2;
  LadderLanes<W> vcf;
  F filterModulation;
  // Shared by all lanes.
  F depth, decay1, sustain1, decay2, sustain2, zero;
  bool dco1On = true, dco2On = true, ampFromEg2 = true;
  const double* tables = nullptr;

  void Load(Voice* const* v, const VoicePatch& p, const double* wavetables) {
    tables = wavetables;
    zero = W::Broadcast(0.0);
    depth = W::Broadcast(p.envelopeDepth);
    decay1 = W::Broadcast(p.eg1.stageCoefficient[2]);
    sustain1 = W::Broadcast(p.eg1.sustain);
    decay2 = W::Broadcast(p.eg2.stageCoefficient[2]);
    sustain2 = W::Broadcast(p.eg2.sustain);
    dco1On = p.dco1.wave != kWaveOff;
    dco2On = p.dco2.wave != kWaveOff;
    ampFromEg2 = p.vcaUsesEg2;
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
    filterModulation = W::Load(tracking);
  }

  // Writes every lane back (the caller restores voices that must not change).
  void Save(Voice* const* v) const {
    double level1[kVoices], level2[kVoices];
    EnvelopeStage stage1[kVoices], stage2[kVoices];
    OscillatorState* o1[kVoices];
    OscillatorState* o2[kVoices];
    LadderState* f[kVoices];
    eg1.Save(level1, stage1);
    eg2.Save(level2, stage2);
    for (int i = 0; i < kVoices; ++i) {
      v[i]->eg1_.level = level1[i];
      v[i]->eg1_.stage = stage1[i];
      v[i]->eg2_.level = level2[i];
      v[i]->eg2_.stage = stage2[i];
      o1[i] = &v[i]->dco1_;
      o2[i] = &v[i]->dco2_;
      f[i] = &v[i]->vcf_;
    }
    if (dco1On) dco1.Save(o1);
    if (dco2On) dco2.Save(o2);
    vcf.Save(f);
  }

  // One sample: envelopes, oscillators, filter, amplifier.
  TESVAR_LANES_INLINE F Sample() {
    eg1.Step(decay1, sustain1);
    eg2.Step(decay2, sustain2);
    // Cutoff modulation in whole pitch codes (truncated toward zero).
    const F m = W::ToF64(W::Truncate(depth * eg1.level + filterModulation));
    const F osc2 = dco2On ? dco2.Render(tables) : zero;
    const F osc1 = dco1On ? dco1.Render(tables) : zero;
    return vcf.Process(osc2 + osc1, m) * (ampFromEg2 ? eg2.level : eg1.level);
  }

  // Renders job.frames samples of the voices `indices` (kVoices of them, whole groups in
  // ascending order) into the job's lane sums. Voices that are not sounding are rendered
  // too (and their output dropped): the caller restores them afterwards.
  static void Mix(const VoiceMixJob& job, const int* indices) {
    using L = typename W::Lane;
    constexpr int kRegisters = W::kRegisters;
    constexpr int kSlots = kGroupSize / L::kWidth;  // registers per group
    Voice* voices[kVoices];
    double gl[kVoices], gr[kVoices];
    bool on[kVoices];
    for (int i = 0; i < kVoices; ++i) {
      const int j = indices[i];
      voices[i] = &job.voices[j];
      gl[i] = job.gainLeft[j];
      gr[i] = job.gainRight[j];
      on[i] = job.sounding[j];
    }
    const F gainLeft = W::Load(gl);
    const F gainRight = W::Load(gr);
    const typename W::Mask sounding = W::LoadMask(on);
    // Registers whose lanes all sound need no mask.
    bool allSounding[kRegisters];
    for (int r = 0; r < kRegisters; ++r) {
      allSounding[r] = true;
      for (int i = 0; i < L::kWidth; ++i) allSounding[r] = allSounding[r] && on[r * L::kWidth + i];
    }
    VoicePack pack;
    pack.Load(voices, *job.patch, job.tables);
    const typename L::F64 zero = L::Broadcast(0.0);
    double* __restrict mixLeft = job.mixLeft;
    double* __restrict mixRight = job.mixRight;
    const int frames = job.frames;
    for (int n = 0; n < frames; ++n) {
      const F s = pack.Sample();
      const F left = s * gainLeft;
      const F right = s * gainRight;
      // Each lane slot adds its groups in ascending order.
      for (int slot = 0; slot < kSlots; ++slot) {
        double* l = mixLeft + n * kGroupSize + slot * L::kWidth;
        double* r = mixRight + n * kGroupSize + slot * L::kWidth;
        typename L::F64 sumLeft = L::Load(l);
        typename L::F64 sumRight = L::Load(r);
        for (int reg = slot; reg < kRegisters; reg += kSlots) {
          if (allSounding[reg]) {
            sumLeft = sumLeft + left.v[reg];
            sumRight = sumRight + right.v[reg];
          } else {
            sumLeft = sumLeft + L::Select(sounding.v[reg], left.v[reg], zero);
            sumRight = sumRight + L::Select(sounding.v[reg], right.v[reg], zero);
          }
        }
        L::Store(l, sumLeft);
        L::Store(r, sumRight);
      }
    }
    pack.Save(voices);
  }
};

// Renders `count` groups (1 ... K) in one loop: count*4 voices side by side, so that the
// processor overlaps their recursions (one group alone waits on each sample's result).
template <class L, int K>
void MixPack(const VoiceMixJob& job, const int* groups, int count) {
  if constexpr (K > 1) {
    if (count < K) {
      MixPack<L, K - 1>(job, groups, count);
      return;
    }
  }
  int indices[K * kGroupSize];
  for (int k = 0; k < K; ++k) {
    for (int i = 0; i < kGroupSize; ++i) indices[k * kGroupSize + i] = groups[k] * kGroupSize + i;
  }
  VoicePack<WideLanes<L, K * kGroupSize / L::kWidth>>::Mix(job, indices);
}

// The groups in packs of up to K, as even as can be (five groups as three and two, not
// four and a lone one), in order: the order of the mix stays the groups' order.
template <class L, int K>
void MixGroups(const VoiceMixJob& job, const int* groups, int groupCount) {
  const int packs = (groupCount + K - 1) / K;
  int g = 0;
  for (int p = 0; p < packs; ++p) {
    const int count = groupCount / packs + (p < groupCount % packs ? 1 : 0);
    MixPack<L, K>(job, groups + g, count);
    g += count;
  }
}

}  // namespace engine
