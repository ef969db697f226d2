// The voice kernel's operations over one lane set: the sounding voices split into packs,
// loaded, mixed, ticked, patched and saved. Included by the files that instantiate a path.
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>
#include <type_traits>

#include "engine/VoiceKernel.h"

namespace engine {

// Calls fn.template operator()<VoicePack<L, registers>>() for 1 <= registers <= R.
template <class L, int R, class Fn>
void WithPackOf(int registers, Fn&& fn) {
  if constexpr (R > 1) {
    if (registers < R) {
      WithPackOf<L, R - 1>(registers, fn);
      return;
    }
  }
  fn.template operator()<VoicePack<L, R>>();
}

// The sounding voices in packs of up to K registers of L, as even as can be (five
// registers as three and two, not four and a lone one), so that the processor overlaps
// their recursions (one register alone waits on each sample's result): calls
// fn.template operator()<P>(pack, indices, count) per pack of type P at its place in
// job.packs. The split depends only on the sounding count, so every operation finds the
// packs that load built.
template <class L, int K, class Fn>
void ForEachPack(const VoicePackJob& job, Fn&& fn) {
  constexpr int kLanes = L::kWidth;
  constexpr std::size_t kSlot = (sizeof(VoicePack<L, K>) + kLivePackAlign - 1) / kLivePackAlign * kLivePackAlign;
  constexpr int kMostPacks = (kVoiceCount / kLanes + K - 1) / K;
  static_assert(kMostPacks * kSlot <= kLivePackBytes, "the live packs do not fit");
  static_assert(alignof(VoicePack<L, K>) <= kLivePackAlign);
  static_assert(std::is_trivially_destructible_v<VoicePack<L, K>>);
  const int registers = (job.soundingCount + kLanes - 1) / kLanes;
  const int packs = (registers + K - 1) / K;
  int done = 0;
  for (int p = 0; p < packs; ++p) {
    const int size = registers / packs + (p < registers % packs ? 1 : 0);
    const int count = std::min(size * kLanes, job.soundingCount - done);
    unsigned char* slot = job.packs + p * kSlot;
    WithPackOf<L, K>(size, [&]<class P>() { fn.template operator()<P>(slot, job.sounding + done, count); });
    done += count;
  }
}

// The voices of a pack's lanes: `count` of them from `indices`, the lanes past count on the
// last one again.
template <class P>
void PackVoices(const VoicePackJob& job, const int* indices, int count, Voice** voices) {
  for (int i = 0; i < P::kVoices; ++i) voices[i] = &job.voices[indices[i < count ? i : count - 1]];
}

template <class P>
P& LivePack(unsigned char* slot) {
  return *std::launder(reinterpret_cast<P*>(slot));
}

template <class L, int K>
void LoadPacks(const VoicePackJob& job) {
  int rank[kGroupCount] = {};
  for (int q = 0; q < job.groupCount; ++q) {
    const int g = job.groups[q];
    rank[g] = q;
    // The silent voices of a sounding group add +0.0; no pack writes their places.
    for (int k = 0; k < kGroupSize; ++k) {
      if (job.isSounding[g * kGroupSize + k]) continue;
      double* column = job.scratch + q * kGroupStride + k;
      for (int n = 0; n < kMixChunk; ++n) column[n * kGroupSize] = 0.0;
    }
  }
  ForEachPack<L, K>(job, [&]<class P>(unsigned char* slot, const int* indices, int count) {
    Voice* voices[P::kVoices];
    PackVoices<P>(job, indices, count, voices);
    P* pack = new (slot) P;
    pack->Load(voices, *job.patch, job.tables);
    pack->Place(job.scratch, indices, count, rank);
  });
}

// Four lanes for one group's sums: registers of L side by side, or L's own four-lane set
// when its registers are wider than a group.
template <class L, bool kWide = (L::kWidth > kGroupSize)>
struct GroupLanesOf {
  using Type = WideLanes<L, kGroupSize / L::kWidth>;
};
template <class L>
struct GroupLanesOf<L, true> {
  using Type = typename L::Group;
};

// The packs rendered, then the groups summed in the canonical order.
template <class L, int K>
void MixPacks(const VoicePackJob& job) {
  ForEachPack<L, K>(job, [&]<class P>(unsigned char* slot, const int*, int) { LivePack<P>(slot).Render(job.frames); });

  using G = typename GroupLanesOf<L>::Type;  // one group's four lanes
  typename G::F64 gainLeft[kGroupCount], gainRight[kGroupCount];
  for (int q = 0; q < job.groupCount; ++q) {
    gainLeft[q] = G::Load(job.gainLeft + job.groups[q] * kGroupSize);
    gainRight[q] = G::Load(job.gainRight + job.groups[q] * kGroupSize);
  }
  const typename G::F64 zero = G::Broadcast(0.0);
  for (int n = 0; n < job.frames; ++n) {
    typename G::F64 sumLeft = zero, sumRight = zero;
    const double* s = job.scratch + n * kGroupSize;
    for (int q = 0; q < job.groupCount; ++q, s += kGroupStride) {
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
std::uint64_t TickPacks(const VoicePackJob& job) {
  std::uint64_t idle = 0;
  ForEachPack<L, K>(job, [&]<class P>(unsigned char* slot, const int* indices, int count) {
    Voice* voices[P::kVoices];
    PackVoices<P>(job, indices, count, voices);
    bool lanes[P::kVoices];
    LivePack<P>(slot).Tick(voices, *job.modulation, *job.patch, lanes);
    for (int i = 0; i < count; ++i) {
      if (lanes[i]) idle |= std::uint64_t{1} << indices[i];
    }
  });
  return idle;
}

template <class L, int K>
void PatchPacks(const VoicePackJob& job) {
  ForEachPack<L, K>(job,
                    [&]<class P>(unsigned char* slot, const int*, int) { LivePack<P>(slot).ApplyPatch(*job.patch); });
}

template <class L, int K>
void SavePacks(const VoicePackJob& job) {
  ForEachPack<L, K>(job, [&]<class P>(unsigned char* slot, const int* indices, int count) {
    Voice* voices[P::kVoices];
    PackVoices<P>(job, indices, count, voices);
    LivePack<P>(slot).Save(voices);
  });
}

// The operations of one path.
template <class L, int K>
VoiceKernel PackKernel() {
  return {&LoadPacks<L, K>, &MixPacks<L, K>, &TickPacks<L, K>, &PatchPacks<L, K>, &SavePacks<L, K>};
}

}  // namespace engine
