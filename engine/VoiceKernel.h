// The voice path over lanes: groups of four voices rendered side by side, one lane per
// voice, with the same operations on every path (scalar, SSE2, AVX2) so that all give the
// same samples.
#pragma once

#include "engine/Voice.h"
#include "engine/VoiceLayout.h"

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

// R registers of L::kWidth voices each: the whole per-sample voice path over lanes.
template <class L, int R>
struct VoicePack {
  using F = typename L::F64;
  static constexpr int kWidth = L::kWidth;
  static constexpr int kVoices = R * kWidth;

  EnvelopeLanes<L> eg1[R];
  EnvelopeLanes<L> eg2[R];
  OscillatorLanes<L> dco1[R];
  OscillatorLanes<L> dco2[R];
  LadderLanes<L> vcf[R];
  F filterModulation[R];
  // Shared by all lanes.
  F depth, decay1, sustain1, decay2, sustain2, zero;
  bool dco1On = true, dco2On = true, ampFromEg2 = true;
  const double* tables = nullptr;

  void Load(Voice* const* voices, const VoicePatch& p, const double* wavetables) {
    tables = wavetables;
    zero = L::Broadcast(0.0);
    depth = L::Broadcast(p.envelopeDepth);
    decay1 = L::Broadcast(p.eg1.stageCoefficient[2]);
    sustain1 = L::Broadcast(p.eg1.sustain);
    decay2 = L::Broadcast(p.eg2.stageCoefficient[2]);
    sustain2 = L::Broadcast(p.eg2.sustain);
    dco1On = p.dco1.wave != kWaveOff;
    dco2On = p.dco2.wave != kWaveOff;
    ampFromEg2 = p.vcaUsesEg2;
    for (int r = 0; r < R; ++r) {
      Voice* const* v = voices + r * kWidth;
      double level1[kWidth], level2[kWidth], tracking[kWidth];
      EnvelopeStage stage1[kWidth], stage2[kWidth];
      const OscillatorState* o1[kWidth];
      const OscillatorState* o2[kWidth];
      const LadderState* f[kWidth];
      for (int i = 0; i < kWidth; ++i) {
        level1[i] = v[i]->eg1_.level;
        stage1[i] = v[i]->eg1_.stage;
        level2[i] = v[i]->eg2_.level;
        stage2[i] = v[i]->eg2_.stage;
        tracking[i] = v[i]->filterModulation_;
        o1[i] = &v[i]->dco1_;
        o2[i] = &v[i]->dco2_;
        f[i] = &v[i]->vcf_;
      }
      eg1[r].Load(level1, stage1, p.eg1);
      eg2[r].Load(level2, stage2, p.eg2);
      dco1[r].Load(o1, p.dco1);
      dco2[r].Load(o2, p.dco2);
      vcf[r].Load(f, p.vcf);
      filterModulation[r] = L::Load(tracking);
    }
  }

  // Writes every lane back (the caller restores voices that must not change).
  void Save(Voice* const* voices) const {
    for (int r = 0; r < R; ++r) {
      Voice* const* v = voices + r * kWidth;
      double level1[kWidth], level2[kWidth];
      EnvelopeStage stage1[kWidth], stage2[kWidth];
      OscillatorState* o1[kWidth];
      OscillatorState* o2[kWidth];
      LadderState* f[kWidth];
      eg1[r].Save(level1, stage1);
      eg2[r].Save(level2, stage2);
      for (int i = 0; i < kWidth; ++i) {
        v[i]->eg1_.level = level1[i];
        v[i]->eg1_.stage = stage1[i];
        v[i]->eg2_.level = level2[i];
        v[i]->eg2_.stage = stage2[i];
        o1[i] = &v[i]->dco1_;
        o2[i] = &v[i]->dco2_;
        f[i] = &v[i]->vcf_;
      }
      if (dco1On) dco1[r].Save(o1);
      if (dco2On) dco2[r].Save(o2);
      vcf[r].Save(f);
    }
  }

  // One sample of register r: envelopes, oscillators, filter, amplifier.
  F Sample(int r) {
    eg1[r].Step(decay1, sustain1);
    eg2[r].Step(decay2, sustain2);
    // Cutoff modulation in whole pitch codes (truncated toward zero).
    const F m = L::ToF64(L::Truncate(depth * eg1[r].level + filterModulation[r]));
    const F osc2 = dco2On ? dco2[r].Render(tables) : zero;
    const F osc1 = dco1On ? dco1[r].Render(tables) : zero;
    return vcf[r].Process(osc2 + osc1, m) * (ampFromEg2 ? eg2[r].level : eg1[r].level);
  }

  // Renders job.frames samples of the voices `indices` (kVoices of them, whole groups in
  // ascending order) into the job's lane sums. Voices that are not sounding are rendered
  // too (and their output dropped): the caller restores them afterwards.
  static void Mix(const VoiceMixJob& job, const int* indices) {
    constexpr int kSlots = kGroupSize / kWidth;  // registers per group
    Voice* voices[kVoices];
    F gainLeft[R], gainRight[R];
    typename L::Mask sounding[R];
    for (int r = 0; r < R; ++r) {
      double gl[kWidth], gr[kWidth];
      bool on[kWidth];
      for (int i = 0; i < kWidth; ++i) {
        const int j = indices[r * kWidth + i];
        voices[r * kWidth + i] = &job.voices[j];
        gl[i] = job.gainLeft[j];
        gr[i] = job.gainRight[j];
        on[i] = job.sounding[j];
      }
      gainLeft[r] = L::Load(gl);
      gainRight[r] = L::Load(gr);
      sounding[r] = L::LoadMask(on);
    }
    VoicePack pack;
    pack.Load(voices, *job.patch, job.tables);
    double* __restrict mixLeft = job.mixLeft;
    double* __restrict mixRight = job.mixRight;
    const int frames = job.frames;
    for (int n = 0; n < frames; ++n) {
      for (int r = 0; r < R; ++r) {
        const F s = pack.Sample(r);
        double* left = mixLeft + n * kGroupSize + (r % kSlots) * kWidth;
        double* right = mixRight + n * kGroupSize + (r % kSlots) * kWidth;
        L::Store(left, L::Load(left) + L::Select(sounding[r], s * gainLeft[r], pack.zero));
        L::Store(right, L::Load(right) + L::Select(sounding[r], s * gainRight[r], pack.zero));
      }
    }
    pack.Save(voices);
  }
};

// Groups K at a time (K*4 voices in one loop, so that the processor overlaps their
// recursions), the rest one group at a time; the order of the mix stays the groups' order.
template <class L, int K>
void MixGroups(const VoiceMixJob& job, const int* groups, int groupCount) {
  constexpr int kPerGroup = kGroupSize / L::kWidth;
  int indices[K * kGroupSize];
  int g = 0;
  for (; g + K <= groupCount; g += K) {
    for (int k = 0; k < K; ++k) {
      for (int i = 0; i < kGroupSize; ++i) indices[k * kGroupSize + i] = groups[g + k] * kGroupSize + i;
    }
    VoicePack<L, K * kPerGroup>::Mix(job, indices);
  }
  for (; g < groupCount; ++g) {
    for (int i = 0; i < kGroupSize; ++i) indices[i] = groups[g] * kGroupSize + i;
    VoicePack<L, kPerGroup>::Mix(job, indices);
  }
}

}  // namespace engine
