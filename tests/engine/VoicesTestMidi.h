// A stand-in for the shell's MIDI queue in the voice tests: messages with host-block
// offsets, drained per tick as the shell's DispatchQueuedMidi does.
#pragma once

#include <cstdint>
#include <deque>

#include "engine/TickSource.h"

namespace engine::testing {

struct BlockMessage {
  std::int32_t offset = 0;  // from the start of the current host block
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

// Notes and controller 64 go to the voice events; pitch bend is recorded (the only
// continuous message the tests need). Allocates only when the test adds messages.
class TestMidiQueue : public TickSource {
 public:
  void Add(std::int32_t offset, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    messages.push_back(BlockMessage{offset, status, data1, data2});
  }

  void DispatchQueuedMidi(int tickStart, int tickEnd, VoiceEventQueue& events) override {
    ++calls;
    while (!messages.empty() && messages.front().offset < tickEnd) {
      const BlockMessage m = messages.front();
      const int kind = m.status & 0xF0;
      if (kind == 0x80 || kind == 0x90 || (kind == 0xB0 && m.data1 == 64)) {
        std::uint8_t status = static_cast<std::uint8_t>(kind);
        if (kind == 0x90 && m.data2 == 0) status = 0x80;
        if (!events.Push(m.offset - tickStart, status, m.data1, m.data2)) {
          ++refusals;
          return;  // kept for the next tick, in order
        }
      } else if (kind == 0xE0) {
        bend = (m.data1 + (m.data2 - 64) * 128) / 8192.0;
      }
      messages.pop_front();
    }
  }

  void EndBlock(int frames) override {
    for (BlockMessage& m : messages) m.offset -= frames;
  }

  std::deque<BlockMessage> messages;
  double bend = 0.0;
  int calls = 0;
  int refusals = 0;
};

}  // namespace engine::testing
