// The shell's queue of incoming MIDI messages, waiting for the control tick they fall in.
#pragma once

#include <cstdint>
#include <vector>

#include "core/MidiMessage.h"

namespace shell {

// Messages in offset order (offsets count samples from the start of the current host
// block); messages with equal offsets keep their arrival order.
//
// Fixed capacity: the memory is taken by SetCapacityForBlock on the dispatcher thread,
// never while rendering. When the queue is full, a message that ends a sound (a note off,
// a note on with velocity 0, or the sustain pedal) takes the place of the latest queued
// message that does not; any other message is dropped. So a flood of notes or controllers
// can cost notes, never leave one hanging.
//
// Used under the plug-in lock: filled by HandleMidi, drained by the render loop.
class MidiQueue {
 public:
  static constexpr int kInitialCapacity = 1024;
  static constexpr int kCapacityStep = 512;

  MidiQueue() : items_(kInitialCapacity) {}

  // Capacity becomes blockSize rounded up to a multiple of 512 (at least 512, never
  // less than the messages queued). False, with the old capacity kept, when the memory
  // cannot be had.
  bool SetCapacityForBlock(int blockSize);

  // False when the message (or, for a message that ends a sound, the one it replaced)
  // was dropped because the queue was full.
  bool Add(const MidiMessage& message);

  bool Empty() const { return begin_ == end_; }
  int Size() const { return end_ - begin_; }
  int Capacity() const { return static_cast<int>(items_.size()); }
  // Precondition: not empty.
  const MidiMessage& Front() const { return items_[begin_]; }
  void PopFront() { ++begin_; }
  // Subtracts samples from every queued offset (saturating).
  void LowerOffsets(int samples);
  void Clear() { begin_ = end_ = 0; }
  // Removes every queued note on (velocity above 0), keeping the order of the rest: a note
  // still waiting when all notes are ended or the stream restarts would sound with no
  // note off to come.
  void DropNoteOns();
  // Messages lost to a full queue since construction.
  long Dropped() const { return dropped_; }

  // A note off (or note on with velocity 0) or controller 64.
  static bool EndsSound(const MidiMessage& message);

 private:
  // Moves the queued messages to the start of the storage.
  void Compact();
  void InsertInOrder(const MidiMessage& message);

  std::vector<MidiMessage> items_;
  int begin_ = 0;
  int end_ = 0;
  long dropped_ = 0;
};

}  // namespace shell
