// Voice operations for the allocator.
#include "engine/VoicePool.h"

namespace engine {

void VoicePool::StartNote(int voice, int note, std::int64_t stamp, int unisonDetune) {
  stamps_[voice] = stamp;
  const int basePitch = notes_->PitchCodeForNote(note);
  voices_[voice].NoteOn(note, basePitch, unisonDetune, *modulation_, *patch_);
}

void VoicePool::Restart() {
  for (Voice& v : voices_) v.Restart(&startPhases_);
  stamps_.fill(0);
}

}  // namespace engine
