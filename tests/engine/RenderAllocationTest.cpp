// Rendering allocates nothing: every operator new of this executable is counted.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/RenderLoop.h"
#include "tools/AllocationCounter.h"

namespace engine {
namespace {

// A MIDI source over a fixed array, so the source itself allocates nothing either.
class FixedMidi : public TickSource {
 public:
  struct Message {
    int offset;
    std::uint8_t status, data1, data2;
  };
  void Add(int offset, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    messages_[count_++] = Message{offset, status, data1, data2};
  }
  void DispatchQueuedMidi(int tickStart, int tickEnd, VoiceEventQueue& events) override {
    while (read_ < count_ && messages_[read_].offset < tickEnd) {
      const Message& m = messages_[read_];
      if (!events.Push(m.offset - tickStart, m.status, m.data1, m.data2)) return;
      ++read_;
    }
  }
  void EndBlock(int frames) override {
    for (int k = read_; k < count_; ++k) messages_[k].offset -= frames;
  }

 private:
  Message messages_[256] = {};
  int count_ = 0;
  int read_ = 0;
};

TEST(RenderAllocationTest, RenderBlockAllocatesNothing) {
  for (int effect = 0; effect <= 3; ++effect) {
    auto loop = std::make_unique<RenderLoop>();
    loop->ResetEngine(44100.0);
    loop->ApplyParameter(28, 15.0, 1.0);
    loop->ApplyParameter(6, 7.0, 1.0);
    loop->ApplyParameter(34, effect, effect / 3.0);
    loop->FinishConstruction();
    FixedMidi midi;
    loop->SetTickSource(&midi);
    for (int k = 0; k < 64; ++k) midi.Add(k * 20, 0x90, static_cast<std::uint8_t>(30 + k), 100);
    midi.Add(700, 0xB0, 64, 127);
    for (int k = 0; k < 64; ++k) midi.Add(1500 + k, 0x80, static_cast<std::uint8_t>(30 + k), 0);
    midi.Add(3000, 0xB0, 64, 0);
    std::vector<double> left(512), right(512);
    double* outputs[2] = {left.data(), right.data()};

    const long before = allocation_counter::Count();
    for (int frames : {100, 512, 1, 44, 300, 512, 512, 512}) loop->RenderBlock(outputs, frames);
    loop->AllNotesOff();
    loop->RenderBlock(outputs, 256);
    EXPECT_EQ(allocation_counter::Count() - before, 0) << "effects mode " << effect;
    loop->SetTickSource(nullptr);
  }
}

}  // namespace
}  // namespace engine
