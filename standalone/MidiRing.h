// A fixed-capacity queue of MIDI messages from one thread to another without a lock: the
// computer keyboard (user-interface thread) hands its notes to the audio callback through it.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

#include "core/MidiMessage.h"

namespace standalone {

// One producer thread calls Push, one consumer thread calls Pop; neither ever waits,
// allocates or takes a lock. When the queue is full Push refuses the message and the caller
// decides what becomes of it (ComputerKeyboard drops a note on and tries a note off again).
template <std::size_t Capacity>
class MidiRing {
  static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "a power of two");

 public:
  // Producer only. False when the queue holds Capacity messages already.
  bool Push(const MidiMessage& message) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) == Capacity) return false;
    slots_[tail & (Capacity - 1)] = message;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Consumer only. False when the queue is empty.
  bool Pop(MidiMessage* message) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    *message = slots_[head & (Capacity - 1)];
    head_.store(head + 1, std::memory_order_release);
    return true;
  }

  static constexpr std::size_t capacity() { return Capacity; }

 private:
  std::array<MidiMessage, Capacity> slots_{};
  // Counters only grow (wrapping after 2^64 messages); their difference is the fill. Each
  // on its own cache line, so the two threads do not share one for writing.
  alignas(64) std::atomic<std::size_t> head_{0};  // written by the consumer
  alignas(64) std::atomic<std::size_t> tail_{0};  // written by the producer
};

}  // namespace standalone
