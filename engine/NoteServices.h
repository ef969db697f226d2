// What the render loop asks of the shell when a note starts or stops: the tuning service's
// answers and the map of held keys.
#pragma once

#include <cstdint>

namespace engine {

// Called on the audio thread from the render loop (note events) and under the plug-in
// lock from AllNotesOff. Implementations allocate nothing and take no lock.
class NoteServices {
 public:
  virtual ~NoteServices() = default;

  // True when the tuning service marks the note as not to be played.
  virtual bool ShouldFilterNote(int note) = 0;
  // The note's pitch code under the current tuning (note*128 in equal temperament).
  virtual int PitchCodeForNote(int note) = 0;

  // Held-key map: velocity > 0 stores or replaces the key, 0 or less removes it.
  virtual void SetHeldKey(int note, int velocity) = 0;
  virtual int HeldKeyCount() const = 0;
  // Highest key down, -1 when none.
  virtual int HighestHeldKey() const = 0;
  virtual void ClearHeldKeys() = 0;
};

// A held-key map without allocation: one velocity per MIDI note (notes are masked to
// 0 ... 127), ordered by note by construction.
class HeldKeys {
 public:
  void Set(int note, int velocity) {
    std::uint8_t& slot = velocity_[note & 0x7F];
    if (velocity > 0) {
      if (slot == 0) ++count_;
      slot = static_cast<std::uint8_t>(velocity > 127 ? 127 : velocity);
    } else if (slot != 0) {
      --count_;
      slot = 0;
    }
  }
  int Velocity(int note) const { return velocity_[note & 0x7F]; }
  int Count() const { return count_; }
  int Highest() const {
    for (int note = 127; note >= 0 && count_ > 0; --note) {
      if (velocity_[note] != 0) return note;
    }
    return -1;
  }
  void Clear() {
    for (std::uint8_t& v : velocity_) v = 0;
    count_ = 0;
  }

 private:
  std::uint8_t velocity_[128] = {};
  int count_ = 0;
};

// Equal temperament, nothing filtered, its own held-key map: the engine's default and
// the tests' stand-in for the shell.
class EqualTemperedNotes : public NoteServices {
 public:
  bool ShouldFilterNote(int) override { return false; }
  int PitchCodeForNote(int note) override { return note * 128; }
  void SetHeldKey(int note, int velocity) override { keys_.Set(note, velocity); }
  int HeldKeyCount() const override { return keys_.Count(); }
  int HighestHeldKey() const override { return keys_.Highest(); }
  void ClearHeldKeys() override { keys_.Clear(); }

 private:
  HeldKeys keys_;
};

}  // namespace engine
