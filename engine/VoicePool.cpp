// Voice operations for the allocator.
#include "engine/VoicePool.h"

#include <bit>

namespace engine {

void VoicePool::StartNote(int voice, int note, std::int64_t stamp, int unisonDetune) {
  stamps_[voice] = stamp;
  const int basePitch = notes_->PitchCodeForNote(note);
  voices_[voice].NoteOn(note, basePitch, unisonDetune, *modulation_, *patch_);
  const std::uint64_t bit = std::uint64_t{1} << voice;
  activeMask_ = voices_[voice].IsActive() ? activeMask_ | bit : activeMask_ & ~bit;
}

void VoicePool::Restart() {
  for (Voice& v : voices_) v.Restart(&startPhases_);
  stamps_.fill(0);
  activeMask_ = 0;
}

void VoicePool::EndSound(std::uint64_t mask) {
  activeMask_ &= ~mask;
  for (; mask != 0; mask &= mask - 1) voices_[std::countr_zero(mask)].EndSound();
}

}  // namespace engine
