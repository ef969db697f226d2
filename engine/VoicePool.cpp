// Voice operations for the allocator.
#include "engine/VoicePool.h"

namespace engine {

void VoicePool::StartNote(int voice, int note, std::int64_t stamp, int unisonDetune) {
  stamps_[voice] = stamp;
  const int basePitch = notes_->PitchCodeForNote(note);
  // The voice's copy of the stamp is informational; stealing reads the 64-bit one.
  const int shortStamp = static_cast<int>(stamp & 0x7FFFFFFF);
  voices_[voice].NoteOn(note, basePitch, shortStamp, unisonDetune, *modulation_);
}

void VoicePool::SetSampleRate(double sampleRate) {
  for (Voice& v : voices_) v.SetSampleRate(sampleRate, &startPhases_);
  stamps_.fill(0);
}

}  // namespace engine
