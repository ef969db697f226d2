// The voice event queue: note and sustain-pedal events of the current control tick, waiting
// for their sample.
#pragma once

#include <cstdint>

namespace engine {

// A MIDI event on its way to the voices. The offset counts samples from the start of the
// control tick the event belongs to; a negative offset (a host fault) means "at once".
struct VoiceEvent {
  std::int32_t offset = 0;
  std::uint8_t status = 0;  // 0x80 note off, 0x90 note on, 0xB0 sustain (controller 64)
  std::uint8_t data1 = 0;   // note or controller number
  std::uint8_t data2 = 0;   // velocity or controller value
};

// Fixed-capacity FIFO in arrival order; never allocates. Audio thread only (and the
// dispatcher under the plug-in lock for Clear).
//
// When full, Push refuses the event and leaves the queue unchanged: the caller keeps the
// message in its own queue and offers it again at the next tick, where it is late but
// still in order. Nothing is dropped silently and nothing overtakes an earlier event.
class VoiceEventQueue {
 public:
  // 512 events within one millisecond is far beyond any keyboard or sequencer.
  static constexpr int kCapacity = 512;

  bool Push(const VoiceEvent& event) {
    if (count_ == kCapacity) return false;
    events_[(head_ + count_) % kCapacity] = event;
    ++count_;
    return true;
  }
  bool Push(std::int32_t offset, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    return Push(VoiceEvent{offset, status, data1, data2});
  }

  bool Empty() const { return count_ == 0; }
  bool Full() const { return count_ == kCapacity; }
  int Size() const { return count_; }

  // Precondition: not empty.
  const VoiceEvent& Front() const { return events_[head_]; }
  VoiceEvent Pop() {
    const VoiceEvent event = events_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return event;
  }

  // Subtracts `samples` from every queued offset (saturating), so the offsets of events
  // kept past the end of their tick are measured from the start of the next one.
  void LowerOffsets(std::int32_t samples);

  void Clear() {
    head_ = 0;
    count_ = 0;
  }

 private:
  VoiceEvent events_[kCapacity];
  int head_ = 0;
  int count_ = 0;
};

}  // namespace engine
