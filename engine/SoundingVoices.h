// The voices the mix renders: the active ones inside the voice grid, with the groups of
// four that hold them.
#pragma once

#include <bit>
#include <cstdint>

#include "engine/VoiceLayout.h"

namespace engine {

// Voices are mixed in groups of four (voices 4g ... 4g+3, VoiceKernel.h).
inline constexpr int kGroupSize = 4;
inline constexpr int kGroupCount = kVoiceCount / kGroupSize;

// The set as a mask and as the lists the voice path reads. It changes only when a voice
// starts or falls silent or the grid changes (the render loop sets it then); spans and
// control ticks read the lists as they are. Plain value, owned by the render loop.
class SoundingVoices {
 public:
  // Bit v of `mask` for voice v. The lists are rebuilt when the mask differs.
  void Set(std::uint64_t mask) {
    if (mask == mask_) return;
    mask_ = mask;
    count_ = 0;
    groupCount_ = 0;
    for (int g = 0; g < kGroupCount; ++g) {
      const unsigned bits = static_cast<unsigned>(mask >> (g * kGroupSize)) & ((1u << kGroupSize) - 1);
      for (int k = 0; k < kGroupSize; ++k) flags_[g * kGroupSize + k] = ((bits >> k) & 1u) != 0;
      if (bits == 0) continue;
      groups_[groupCount_++] = g;
      for (unsigned b = bits; b != 0; b &= b - 1) list_[count_++] = g * kGroupSize + std::countr_zero(b);
    }
  }

  // The voices 0 ... total-1: the grid's part of a mask.
  static std::uint64_t GridMask(int total) {
    return total >= kVoiceCount ? ~std::uint64_t{0} : (std::uint64_t{1} << (total > 0 ? total : 0)) - 1;
  }

  std::uint64_t Mask() const { return mask_; }
  int Count() const { return count_; }
  // The sounding voices, ascending.
  const int* List() const { return list_; }
  int GroupCount() const { return groupCount_; }
  // The groups with a sounding voice, ascending.
  const int* Groups() const { return groups_; }
  // Per voice: sounding or not.
  const bool* Flags() const { return flags_; }

 private:
  std::uint64_t mask_ = 0;
  int count_ = 0;
  int groupCount_ = 0;
  int list_[kVoiceCount] = {};
  int groups_[kGroupCount] = {};
  bool flags_[kVoiceCount] = {};
};

}  // namespace engine
