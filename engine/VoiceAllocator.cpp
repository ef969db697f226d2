// Voice allocation policy, one rule per step.
#include "engine/VoiceAllocator.h"

#include <algorithm>

namespace engine {

void VoiceAllocator::SetLayout(const VoiceLayout& layout) {
  layout_ = layout;
  layout_.polyphony = std::clamp(layout_.polyphony, 1, kVoiceCount);
  layout_.voicesPerNote = std::clamp(layout_.voicesPerNote, 1, kVoiceCount / layout_.polyphony);
  layout_.total = layout_.polyphony * layout_.voicesPerNote;
  lastSlot_ = 0;
}

int VoiceAllocator::ChooseSlot(int note) const {
  const int p = layout_.polyphony;
  // 1. A slot that played this note before is reused, sounding or not: a repeated key
  //    retriggers its own voices instead of stacking a second copy.
  for (int slot = 0; slot < p; ++slot) {
    if (bank_.Note(slot) == note) return slot;
  }
  // 2. Round-robin from the slot after the last one used: the first idle slot wins.
  //    While searching, remember the oldest start stamp seen; equal stamps keep the
  //    earlier candidate. With every slot sounding, that oldest one is stolen.
  int candidate = (lastSlot_ + 1) % p;
  const int first = candidate;
  for (int k = 0; k < p; ++k) {
    const int slot = (first + k) % p;
    if (!bank_.IsActive(slot)) return slot;
    if (bank_.StartStamp(slot) < bank_.StartStamp(candidate)) candidate = slot;
  }
  return candidate;
}

void VoiceAllocator::StartSlot(int slot, int note) {
  const int v = layout_.voicesPerNote;
  for (int layer = 0; layer < v; ++layer) {
    const int voice = layout_.VoiceIndex(slot, layer);
    int layerNote = note;
    int detune = 0;
    if (layout_.mode == KeyMode::kUnison) {
      detune = UnisonDetune(v, layer);
    } else if (layout_.mode == KeyMode::kChord && layer > 0 && layer - 1 < chord_.size) {
      // Layers past the memory (a capture made in Chord mode, before the next
      // reconfiguration) double the played note.
      layerNote = note + chord_.offsets[layer - 1];
    }
    bank_.StartNote(voice, layerNote, noteCounter_++, detune);
  }
}

void VoiceAllocator::NoteOn(int note) {
  const int slot = ChooseSlot(note);
  lastSlot_ = slot % layout_.polyphony;
  StartSlot(slot, note);
}

void VoiceAllocator::NoteOff(int note, int highestHeldKey) {
  // Monophonic grid with keys still down: the highest remaining key takes the voice over
  // (the envelopes continue from their level); releasing a key that is not sounding
  // changes nothing when the highest key already plays.
  if (layout_.polyphony == 1 && bank_.IsActive(0) && highestHeldKey >= 0) {
    if (bank_.Note(0) != highestHeldKey) NoteOn(highestHeldKey);
    return;
  }
  // Otherwise every slot playing the note releases all its layers.
  for (int slot = 0; slot < layout_.polyphony; ++slot) {
    if (bank_.Note(slot) != note) continue;
    for (int layer = 0; layer < layout_.voicesPerNote; ++layer) {
      bank_.ReleaseNote(layout_.VoiceIndex(slot, layer), false);
    }
  }
}

void VoiceAllocator::SetSustain(bool on) {
  sustain_ = on;
  // All 64, not only those in use: a voice above T that comes back into use after a
  // reconfiguration must not keep an old pedal state.
  for (int voice = 0; voice < kVoiceCount; ++voice) bank_.SetSustain(voice, on);
}

void VoiceAllocator::AllNotesOff() {
  SetSustain(false);
  for (int voice = 0; voice < kVoiceCount; ++voice) bank_.Silence(voice);
}

bool VoiceAllocator::CaptureChord() {
  int notes[kVoiceCount];
  int count = 0;
  for (int voice = 0; voice < layout_.total && voice < kVoiceCount; ++voice) {
    if (bank_.IsHeld(voice)) notes[count++] = bank_.Note(voice);
  }
  if (count == 0) return false;
  chord_.size = 0;
  if (count == 1) {
    // A single key captures a chord of six voices all on that note.
    chord_.size = 5;
    std::fill(chord_.offsets, chord_.offsets + 5, 0);
    return true;
  }
  std::sort(notes, notes + count);
  count = static_cast<int>(std::unique(notes, notes + count) - notes);
  const int lowest = notes[0];
  for (int k = 1; k < count; ++k) chord_.offsets[chord_.size++] = notes[k] - lowest;
  return true;
}

void VoiceAllocator::SetChordMemory(const int* offsets, int count) {
  chord_.size = 0;
  if (offsets == nullptr) return;
  const int kept = std::clamp(count, 0, kMaxChordOffsets);
  for (int k = 0; k < kept; ++k) chord_.offsets[chord_.size++] = std::clamp(offsets[k], 0, 127);
}

}  // namespace engine
