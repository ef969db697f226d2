// The 64 voices of an instance, bound to the allocator's voice operations.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/Modulation.h"
#include "engine/NoteServices.h"
#include "engine/StartPhases.h"
#include "engine/Voice.h"
#include "engine/VoiceAllocator.h"
#include "engine/VoiceLayout.h"

namespace engine {

// Note starts take their pitch from the tuning service and the current modulation, so a
// new voice sounds right from its first sample. Thread rules are the Voice's.
class VoicePool final : public VoiceBank {
 public:
  VoicePool(NoteServices& notes, const ModulationValues& modulation, const VoicePatch& patch)
      : notes_(&notes), modulation_(&modulation), patch_(&patch) {}

  void SetNoteServices(NoteServices& notes) { notes_ = &notes; }

  bool IsActive(int voice) const override { return voices_[voice].IsActive(); }
  int Note(int voice) const override { return voices_[voice].Note(); }
  std::int64_t StartStamp(int voice) const override { return stamps_[voice]; }
  bool IsHeld(int voice) const override { return voices_[voice].IsHeld(); }
  void StartNote(int voice, int note, std::int64_t stamp, int unisonDetune) override;
  void ReleaseNote(int voice, bool forced) override { voices_[voice].NoteOff(forced); }
  void SetSustain(int voice, bool sustained) override { voices_[voice].SetSustain(sustained); }
  void Silence(int voice) override { voices_[voice].ReleaseNow(); }

  // Every voice falls silent (for a new rate); start stamps restart. The oscillators take
  // new start phases from this pool's own generator.
  void Restart();

  // Bit v is set while voice v is active: kept as voices start (StartNote) and fall silent
  // (EndSound, Restart), so that nobody scans the voices to find them.
  std::uint64_t ActiveMask() const { return activeMask_; }
  // The voices of `mask` were found with their amplifier envelope idle at a control tick.
  void EndSound(std::uint64_t mask);

  Voice& operator[](int voice) { return voices_[voice]; }
  const Voice& operator[](int voice) const { return voices_[voice]; }
  std::span<Voice> All() { return voices_; }

 private:
  std::array<Voice, kVoiceCount> voices_;
  // Kept here in 64 bits: the voice's own int stamp would wrap after 2^31 note starts.
  std::array<std::int64_t, kVoiceCount> stamps_{};
  std::uint64_t activeMask_ = 0;
  NoteServices* notes_;
  const ModulationValues* modulation_;
  const VoicePatch* patch_;
  StartPhases startPhases_;
};

}  // namespace engine
