// Voice allocation: which voices a note starts and stops, stealing, the monophonic fallback,
// sustain and hold, all notes off and the chord memory. Knows nothing of the signal path.
#pragma once

#include <cstdint>

#include "engine/VoiceLayout.h"

namespace engine {

// The voice operations allocation needs, by voice index 0 ... 63. The product binds them to
// its Voice objects (VoicePool); tests bind a plain record per voice. Called at note rate
// on the audio thread, or on the dispatcher under the plug-in lock (AllNotesOff, layout).
class VoiceBank {
 public:
  virtual ~VoiceBank() = default;

  // Sounding: from note start until the amplifier envelope is idle.
  virtual bool IsActive(int voice) const = 0;
  // The last note started on the voice; kept after it falls silent.
  virtual int Note(int voice) const = 0;
  virtual std::int64_t StartStamp(int voice) const = 0;
  // Set at note start, cleared when the voice is released.
  virtual bool IsHeld(int voice) const = 0;

  // Voice note-on: pitch from the tuning plus the unison detune (pitch code), envelopes
  // gated from their current level, held and key down set.
  virtual void StartNote(int voice, int note, std::int64_t stamp, int unisonDetune) = 0;
  // Voice note-off: key up; unless forced, a sustained voice keeps sounding.
  virtual void ReleaseNote(int voice, bool forced) = 0;
  // Sustain/hold state; switching it off releases a voice whose key is already up.
  virtual void SetSustain(int voice, bool sustained) = 0;
  // All notes off: key down and held cleared, envelopes released (idle at once from 0).
  virtual void Silence(int voice) = 0;
};

// Semitone offsets of the chord played in Chord mode, relative to the played note.
// At most 63 entries so that a chord and its root fit the 64 voices.
struct ChordMemory {
  int offsets[kMaxChordOffsets] = {};
  int size = 0;
};

// Owned by the render loop with the layout and the bank; every operation runs on the
// audio thread or under the plug-in lock, never both at once. Allocates nothing.
class VoiceAllocator {
 public:
  explicit VoiceAllocator(VoiceBank& bank) : bank_(bank) {}

  // New grid (after ReconfigureVoices); the round-robin restarts at slot 0.
  void SetLayout(const VoiceLayout& layout);
  const VoiceLayout& Layout() const { return layout_; }

  // Starts every layer of a slot for the note.
  void NoteOn(int note);
  // Releases the note's slots. highestHeldKey is the highest key still down after this one
  // was taken out of the held-key map, or -1 when none is: a monophonic grid (P = 1) hands
  // the voice to that key instead.
  void NoteOff(int note, int highestHeldKey);

  // Sustain pedal and HOLD share one flag, sent to all 64 voices.
  void SetSustain(bool on);
  bool Sustain() const { return sustain_; }

  // Sustain off, then every voice silenced (key down and held cleared, envelopes released).
  // The caller also clears the held-key map and the pending voice events.
  void AllNotesOff();

  // Chord memory from the held voices: one note gives five zeros (a chord of six voices on
  // one note); more notes are sorted, deduplicated and made relative to the lowest, which
  // is dropped. Answers false (memory unchanged) when no voice is held.
  bool CaptureChord();
  // Restores a memory (state chunk). A longer list than 63 keeps its first 63 entries;
  // offsets are limited to 0 ... 127, the range a capture can produce.
  void SetChordMemory(const int* offsets, int count);
  void ClearChordMemory() { chord_.size = 0; }
  const ChordMemory& Chord() const { return chord_; }

  // Start stamps order the voices for stealing; the counter restarts at a rate change.
  void ResetNoteCounter() { noteCounter_ = 0; }
  std::int64_t NoteCounter() const { return noteCounter_; }
  int LastSlot() const { return lastSlot_; }

 private:
  int ChooseSlot(int note) const;
  void StartSlot(int slot, int note);

  VoiceBank& bank_;
  VoiceLayout layout_;
  ChordMemory chord_;
  int lastSlot_ = 0;
  std::int64_t noteCounter_ = 0;
  bool sustain_ = false;
};

}  // namespace engine
