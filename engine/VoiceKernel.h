// The voice path over lanes: groups of four voices rendered side by side, one lane per
// voice, with the same operations on every path (scalar, SSE2, AVX2) so that all give the
// same samples.
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>
#include <type_traits>

#include "engine/Voice.h"
#include "engine/VoiceLayout.h"
#include "engine/dsp/Lanes.h"

namespace engine {

// Voices are mixed in one canonical order, whatever the path and whichever voices sound:
// per sample, lane k of the mix sums the panned output of voice 4g+k over the fixed groups
// g (voices 4g ... 4g+3) in ascending order, starting from +0.0 (a silent voice adds
// nothing, which equals adding +0.0), and a channel's sample is
// (lane0 + lane2) + (lane1 + lane3). The order fixes only the sum: the per-sample voice
// path runs on the sounding voices packed densely into full lanes (one voice's samples do
// not depend on which voices share its pack), each voice's samples are set down at its
// place in its group, and the groups are summed afterwards.
inline constexpr int kGroupSize = 4;
inline constexpr int kGroupCount = kVoiceCount / kGroupSize;
// Spans are mixed in pieces of at most this many samples.
inline constexpr int kMixChunk = 64;
// Doubles of scratch a mix needs: every group's four voices for one piece.
inline constexpr int kMixScratch = kGroupCount * kGroupSize * kMixChunk;

enum class VoicePath : int { kScalar = 0, kSse2 = 1, kAvx2 = 2 };

// The most capable path this processor runs (AVX2 only in 64-bit x86 builds).
VoicePath BestVoicePath();
// `wanted`, or the best available path below it.
VoicePath AvailableVoicePath(VoicePath wanted);
const char* VoicePathName(VoicePath path);

// One piece of a span.
struct VoiceMixJob {
  Voice* voices = nullptr;               // all 64
  const bool* isSounding = nullptr;      // per voice
  const int* sounding = nullptr;         // the sounding voices, ascending
  int soundingCount = 0;                 // at least 1
  const int* groups = nullptr;           // the groups with a sounding voice, ascending
  int groupCount = 0;
  const VoicePatch* patch = nullptr;
  const double* gainLeft = nullptr;      // per voice
  const double* gainRight = nullptr;
  const double* tables = nullptr;        // Wavetables::Data()
  int frames = 0;                        // 1 ... kMixChunk
  double* scratch = nullptr;             // kMixScratch doubles
  double* left = nullptr;                // frames samples each, overwritten with the mix
  double* right = nullptr;
  unsigned char* packs = nullptr;        // kLivePackBytes, aligned to kLivePackAlign
  // The packs hold the sounding voices' state from the previous piece (same voices, same
  // patch, nothing touched since): rendering goes on from there instead of loading.
  bool resume = false;
};

// Where the voice path keeps its lanes between pieces: loading and saving them costs about
// as much as a dozen samples, so a span cut short by the end of a host block does not pay
// for it again when the next block goes on with the same voices.
inline constexpr std::size_t kLivePackBytes = 40 * 1024;
inline constexpr std::size_t kLivePackAlign = 64;

// Mix: renders the sounding voices from the packs (loading them first unless job.resume),
// advances them there and writes their mix; the voices' own state stays behind until
// settled. Settle: writes the packs' state back to the voices (frames and outputs unused).
using VoiceMixFunction = void (*)(const VoiceMixJob& job);
struct VoiceKernel {
  VoiceMixFunction mix = nullptr;
  VoiceMixFunction settle = nullptr;
};
VoiceKernel KernelFor(VoicePath path);

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

  // Writes every lane back (lanes that run one voice hold the same state).
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

  // The voices of the lanes: `count` of them from `indices` (1 ... kVoices); the lanes
  // past count run the last one again: every operation is lane by lane, so they compute
  // exactly its samples and write back exactly its state.
  static void Gather(const VoiceMixJob& job, const int* indices, int count, Voice** voices) {
    for (int i = 0; i < kVoices; ++i) voices[i] = &job.voices[indices[i < count ? i : count - 1]];
  }

  // Renders job.frames samples of `count` voices with the pack kept at `slot` and sets
  // each voice's samples down in the job's scratch: voice j of the group of rank q (its
  // place among job.groups) at scratch[q * stride + n * 4 + j % 4] for sample n.
  static void Render(const VoiceMixJob& job, const int* indices, int count, const int* rank, unsigned char* slot) {
    using L = typename W::Lane;
    constexpr int kLanes = L::kWidth;
    VoicePack* pack;
    if (job.resume) {
      pack = std::launder(reinterpret_cast<VoicePack*>(slot));
    } else {
      Voice* voices[kVoices];
      Gather(job, indices, count, voices);
      pack = new (slot) VoicePack;
      pack->Load(voices, *job.patch, job.tables);
    }
    double* place[kVoices];
    const int stride = job.frames * kGroupSize;
    for (int i = 0; i < kVoices; ++i) {
      place[i] = nullptr;  // the spare lanes' samples are dropped
      if (i < count) place[i] = job.scratch + rank[indices[i] / kGroupSize] * stride + indices[i] % kGroupSize;
    }
    // A register of consecutive voices of one group is set down whole.
    double* whole[W::kRegisters];
    for (int r = 0; r < W::kRegisters; ++r) {
      const int first = r * kLanes;
      bool consecutive = first + kLanes <= count && indices[first] % kLanes == 0;
      for (int i = 1; consecutive && i < kLanes; ++i) consecutive = indices[first + i] == indices[first] + i;
      whole[r] = consecutive ? place[first] : nullptr;
    }
    VoicePack& p = *pack;
    const int frames = job.frames;
    for (int n = 0; n < frames; ++n) {
      const F s = p.Sample();
      const int at = n * kGroupSize;
      for (int r = 0; r < W::kRegisters; ++r) {
        if (whole[r] != nullptr) {
          L::Store(whole[r] + at, s.v[r]);
        } else {
          double lanes[kLanes];
          L::Store(lanes, s.v[r]);
          for (int i = 0; i < kLanes; ++i) {
            if (place[r * kLanes + i] != nullptr) place[r * kLanes + i][at] = lanes[i];
          }
        }
      }
    }
  }

  // Writes the pack at `slot` back to its voices.
  static void Settle(const VoiceMixJob& job, const int* indices, int count, unsigned char* slot) {
    Voice* voices[kVoices];
    Gather(job, indices, count, voices);
    std::launder(reinterpret_cast<VoicePack*>(slot))->Save(voices);
  }
};

// Calls fn.template operator()<VoicePack<WideLanes<L, registers>>>() for 1 <= registers <= R.
template <class L, int R, class Fn>
void WithPackOf(int registers, Fn&& fn) {
  if constexpr (R > 1) {
    if (registers < R) {
      WithPackOf<L, R - 1>(registers, fn);
      return;
    }
  }
  fn.template operator()<VoicePack<WideLanes<L, R>>>();
}

// The sounding voices in packs of up to K registers of L, as even as can be (five
// registers as three and two, not four and a lone one), so that the processor overlaps
// their recursions (one register alone waits on each sample's result): calls
// fn(slot, indices, count, registers) per pack, its slot in job.packs.
template <class L, int K, class Fn>
void ForEachPack(const VoiceMixJob& job, Fn&& fn) {
  constexpr int kLanes = L::kWidth;
  constexpr std::size_t kSlot = (sizeof(VoicePack<WideLanes<L, K>>) + kLivePackAlign - 1) / kLivePackAlign * kLivePackAlign;
  constexpr int kMostPacks = (kVoiceCount / kLanes + K - 1) / K;
  static_assert(kMostPacks * kSlot <= kLivePackBytes, "the live packs do not fit");
  static_assert(alignof(VoicePack<WideLanes<L, K>>) <= kLivePackAlign);
  static_assert(std::is_trivially_destructible_v<VoicePack<WideLanes<L, K>>>);
  const int registers = (job.soundingCount + kLanes - 1) / kLanes;
  const int packs = (registers + K - 1) / K;
  int done = 0;
  for (int p = 0; p < packs; ++p) {
    const int size = registers / packs + (p < registers % packs ? 1 : 0);
    const int count = std::min(size * kLanes, job.soundingCount - done);
    fn(job.packs + p * kSlot, job.sounding + done, count, size);
    done += count;
  }
}

// The whole mix over lane set L: the packs rendered, then the groups summed in the
// canonical order.
template <class L, int K>
void MixSounding(const VoiceMixJob& job) {
  constexpr int kLanes = L::kWidth;
  const int stride = job.frames * kGroupSize;
  int rank[kGroupCount] = {};
  for (int q = 0; q < job.groupCount; ++q) {
    const int g = job.groups[q];
    rank[g] = q;
    // The silent voices of a sounding group add +0.0.
    for (int k = 0; k < kGroupSize; ++k) {
      if (job.isSounding[g * kGroupSize + k]) continue;
      double* column = job.scratch + q * stride + k;
      for (int n = 0; n < job.frames; ++n) column[n * kGroupSize] = 0.0;
    }
  }
  ForEachPack<L, K>(job, [&](unsigned char* slot, const int* indices, int count, int registers) {
    WithPackOf<L, K>(registers, [&]<class P>() { P::Render(job, indices, count, rank, slot); });
  });

  using G = WideLanes<L, kGroupSize / kLanes>;  // one group's four lanes
  typename G::F64 gainLeft[kGroupCount], gainRight[kGroupCount];
  for (int q = 0; q < job.groupCount; ++q) {
    gainLeft[q] = G::Load(job.gainLeft + job.groups[q] * kGroupSize);
    gainRight[q] = G::Load(job.gainRight + job.groups[q] * kGroupSize);
  }
  const typename G::F64 zero = G::Broadcast(0.0);
  for (int n = 0; n < job.frames; ++n) {
    typename G::F64 sumLeft = zero, sumRight = zero;
    const double* s = job.scratch + n * kGroupSize;
    for (int q = 0; q < job.groupCount; ++q, s += stride) {
      const typename G::F64 x = G::Load(s);
      sumLeft = sumLeft + x * gainLeft[q];
      sumRight = sumRight + x * gainRight[q];
    }
    double l[kGroupSize], r[kGroupSize];
    G::Store(l, sumLeft);
    G::Store(r, sumRight);
    job.left[n] = (l[0] + l[2]) + (l[1] + l[3]);
    job.right[n] = (r[0] + r[2]) + (r[1] + r[3]);
  }
}

template <class L, int K>
void SettleSounding(const VoiceMixJob& job) {
  ForEachPack<L, K>(job, [&](unsigned char* slot, const int* indices, int count, int registers) {
    WithPackOf<L, K>(registers, [&]<class P>() { P::Settle(job, indices, count, slot); });
  });
}

}  // namespace engine
