// The voice path over lanes: the sounding voices rendered side by side in packs that stay
// loaded between control ticks and host blocks, with the same operations on every path
// (scalar, SSE2, AVX2) so that all give the same samples.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/Modulation.h"
#include "engine/Voice.h"
#include "engine/VoicePack.h"

namespace engine {

// Voices are mixed in one canonical order, whatever the path and whichever voices sound:
// per sample, lane k of the mix sums the panned output of voice 4g+k over the fixed groups
// g (voices 4g ... 4g+3) in ascending order, starting from +0.0 (a silent voice adds
// nothing, which equals adding +0.0), and a channel's sample is
// (lane0 + lane2) + (lane1 + lane3). The order fixes only the sum: the per-sample voice
// path runs on the sounding voices packed densely into full lanes (one voice's samples do
// not depend on which voices share its pack), each voice's samples are set down at its
// place in its group, and the groups are summed afterwards.

enum class VoicePath : int { kScalar = 0, kSse2 = 1, kAvx2 = 2, kAvx512 = 3 };
inline constexpr VoicePath kVoicePaths[] = {VoicePath::kScalar, VoicePath::kSse2, VoicePath::kAvx2, VoicePath::kAvx512};

// The most capable path this processor runs (AVX2 and AVX-512 only in 64-bit x86 builds).
VoicePath BestVoicePath();
// `wanted`, or the best available path below it.
VoicePath AvailableVoicePath(VoicePath wanted);
const char* VoicePathName(VoicePath path);

// Where the voice path keeps its packs while their voices sound.
inline constexpr std::size_t kLivePackBytes = 40 * 1024;
inline constexpr std::size_t kLivePackAlign = 64;

// What the voice path works on. The render loop keeps one, changing the sounding lists only
// while no packs are loaded, and the piece (frames, left, right) per call of mix.
struct VoicePackJob {
  Voice* voices = nullptr;           // all 64
  const bool* isSounding = nullptr;  // per voice
  const int* sounding = nullptr;     // the sounding voices, ascending
  int soundingCount = 0;             // at least 1 for every operation
  const int* groups = nullptr;       // the groups with a sounding voice, ascending
  int groupCount = 0;
  const VoicePatch* patch = nullptr;
  const ModulationValues* modulation = nullptr;
  const double* gainLeft = nullptr;  // per voice
  const double* gainRight = nullptr;
  const double* tables = nullptr;  // Wavetables::Data()
  double* scratch = nullptr;       // kMixScratch doubles
  unsigned char* packs = nullptr;  // kLivePackBytes, aligned to kLivePackAlign
  int frames = 0;                  // 1 ... kMixChunk
  double* left = nullptr;          // frames samples each, overwritten with the mix
  double* right = nullptr;
};

// The operations over the packs of one path. Audio thread, or the dispatcher under the
// plug-in lock; none allocates.
//   load:  packs built from the sounding voices and the patch (the voices' own state stays
//          behind until save).
//   mix:   job.frames samples of every pack into the scratch, summed into job.left/right in
//          the canonical order.
//   tick:  the control tick in the packs; answers the voices (bit v for voice v) whose
//          amplifier envelope is idle.
//   patch: a changed job.patch into the packs.
//   save:  the packs' state written back to the voices (the packs stay valid).
struct VoiceKernel {
  void (*load)(const VoicePackJob& job) = nullptr;
  void (*mix)(const VoicePackJob& job) = nullptr;
  std::uint64_t (*tick)(const VoicePackJob& job) = nullptr;
  void (*patch)(const VoicePackJob& job) = nullptr;
  void (*save)(const VoicePackJob& job) = nullptr;
};
VoiceKernel KernelFor(VoicePath path);

}  // namespace engine
