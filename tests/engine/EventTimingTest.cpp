// Event timing across host blocks: every note event fires at exactly its sample, whatever
// the block sizes, and control ticks run every L samples regardless of block boundaries.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ControlClock.h"
#include "tests/engine/VoicesTestMidi.h"

namespace engine {
namespace {

using testing::TestMidiQueue;

// Drives the clock like the render loop and notes the absolute sample of every event and
// tick: both are always followed by a Render starting at their sample.
class TimingClient {
 public:
  TimingClient(ControlClock& clock, VoiceEventQueue& queue, TestMidiQueue& midi)
      : clock_(clock), queue_(queue), midi_(midi) {}

  void TakeMessages(int tickStart, int tickEnd) { midi_.DispatchQueuedMidi(tickStart, tickEnd, queue_); }
  void ControlTick() { tickPending_ = true; }
  void FireEvent(const VoiceEvent& e) { pending_.push_back(e); }
  void Render(int start, int count) {
    const std::int64_t at = blockStart + start;
    for (const VoiceEvent& e : pending_) fired.push_back({at, e});
    pending_.clear();
    if (tickPending_) ticks.push_back(at);
    tickPending_ = false;
    rendered += count;
  }
  void EndBlock(int frames) {
    midi_.EndBlock(frames);
    blockStart += frames;
  }
  void Block(int frames) { clock_.RunBlock(*this, queue_, frames); }

  struct Fired {
    std::int64_t at;
    VoiceEvent event;
  };
  std::vector<Fired> fired;
  std::vector<std::int64_t> ticks;
  std::int64_t blockStart = 0;
  std::int64_t rendered = 0;

 private:
  ControlClock& clock_;
  VoiceEventQueue& queue_;
  TestMidiQueue& midi_;
  std::vector<VoiceEvent> pending_;
  bool tickPending_ = false;
};

struct Rig {
  ControlClock clock;
  VoiceEventQueue queue;
  TestMidiQueue midi;
  TimingClient client{clock, queue, midi};
};

// Plays `blocks` host blocks; in each, a note-on at every offset of the block (notes count
// up, so the order is checked too). Every note must fire at block start + offset.
void CheckEveryOffset(const std::vector<int>& blocks, int tickLength) {
  Rig rig;
  rig.clock.SetTickLength(tickLength);
  std::vector<std::int64_t> expected;
  std::int64_t start = 0;
  for (int frames : blocks) {
    for (int offset = 0; offset < frames; ++offset) {
      rig.midi.Add(offset, 0x90, static_cast<std::uint8_t>(expected.size() % 128), 100);
      expected.push_back(start + offset);
    }
    rig.client.Block(frames);
    start += frames;
  }
  ASSERT_EQ(rig.client.fired.size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(rig.client.fired[k].at, expected[k]) << "event " << k;
    ASSERT_EQ(rig.client.fired[k].event.data1, k % 128) << "event " << k;
  }
  // Ticks fall on every multiple of L, never restarted by a block boundary.
  ASSERT_EQ(rig.client.ticks.size(), static_cast<std::size_t>((start + tickLength - 1) / tickLength));
  for (std::size_t k = 0; k < rig.client.ticks.size(); ++k) {
    ASSERT_EQ(rig.client.ticks[k], static_cast<std::int64_t>(k) * tickLength) << "tick " << k;
  }
  EXPECT_EQ(rig.client.rendered, start);
  EXPECT_EQ(rig.midi.refusals, 0);
}

TEST(EventTimingTest, EveryNoteStartsAtItsSampleForFixedBlockSizes) {
  for (int frames : {1, 32, 44, 64, 100, 512, 4096}) {
    SCOPED_TRACE("block " + std::to_string(frames));
    const int count = frames >= 512 ? 3 : 4096 / frames + 3;
    CheckEveryOffset(std::vector<int>(count, frames), 44);
  }
}

TEST(EventTimingTest, EveryNoteStartsAtItsSampleWhenTheHostVariesItsBlocks) {
  std::vector<int> blocks;
  std::uint32_t seed = 12345;
  for (int k = 0; k < 60; ++k) {
    seed = seed * 1664525u + 1013904223u;
    blocks.push_back(1 + static_cast<int>(seed >> 22) % 300);  // 1 ... 300 frames
  }
  blocks.insert(blocks.begin() + 10, {43, 1, 44, 45, 87, 88, 89});
  for (int tick : {44, 48, 96, 1}) {
    SCOPED_TRACE("tick " + std::to_string(tick));
    CheckEveryOffset(blocks, tick);
  }
}

TEST(EventTimingTest, NegativeOffsetFiresAtTheFirstSampleAndHoldsNothingBack) {
  Rig rig;
  rig.midi.Add(-5, 0x90, 60, 100);  // a host fault
  rig.midi.Add(10, 0x90, 62, 100);
  rig.client.Block(64);
  ASSERT_EQ(rig.client.fired.size(), 2u);
  EXPECT_EQ(rig.client.fired[0].at, 0);
  EXPECT_EQ(rig.client.fired[1].at, 10);

  // The same inside a tick split across blocks (the tick is 20 samples in at block start).
  rig.midi.Add(-3, 0x80, 60, 0);
  rig.midi.Add(2, 0x80, 62, 0);
  rig.client.Block(64);
  ASSERT_EQ(rig.client.fired.size(), 4u);
  EXPECT_EQ(rig.client.fired[2].at, 64);
  EXPECT_EQ(rig.client.fired[3].at, 66);
}

TEST(EventTimingTest, OutOfOrderEventFiresWithTheOneAheadOfIt) {
  Rig rig;
  rig.midi.Add(30, 0x90, 60, 100);
  rig.midi.Add(10, 0x90, 61, 100);  // behind a later event: late, never stuck
  rig.midi.Add(40, 0x90, 62, 100);
  rig.client.Block(100);
  ASSERT_EQ(rig.client.fired.size(), 3u);
  EXPECT_EQ(rig.client.fired[0].at, 30);
  EXPECT_EQ(rig.client.fired[1].at, 30);
  EXPECT_EQ(rig.client.fired[2].at, 40);
}

TEST(EventTimingTest, MessagesBeyondTheBlockWaitForTheirTick) {
  // A continuous message delayed past the block end (offset + L/2) stays queued, lowered
  // by each block length, and is taken by the tick in which it falls (ticks at 0, 44, 88,
  // 132: sample 140 belongs to the tick at 132, which begins in the third block).
  Rig rig;
  rig.midi.Add(140, 0xE0, 0, 0x50);
  rig.midi.Add(150, 0x90, 64, 100);
  rig.client.Block(64);
  EXPECT_EQ(rig.midi.bend, 0.0);
  ASSERT_EQ(rig.midi.messages.size(), 2u);
  EXPECT_EQ(rig.midi.messages.front().offset, 76);
  rig.client.Block(64);
  EXPECT_EQ(rig.midi.bend, 0.0);
  EXPECT_EQ(rig.midi.messages.front().offset, 12);
  rig.client.Block(64);
  EXPECT_DOUBLE_EQ(rig.midi.bend, 0.25);
  ASSERT_EQ(rig.client.fired.size(), 1u);
  EXPECT_EQ(rig.client.fired[0].at, 150);
}

TEST(EventTimingTest, FullQueueDelaysEventsToTheNextTickInOrder) {
  Rig rig;
  const int n = VoiceEventQueue::kCapacity + 100;
  for (int k = 0; k < n; ++k) rig.midi.Add(0, 0x90, static_cast<std::uint8_t>(k % 128), 1);
  rig.client.Block(128);
  EXPECT_GT(rig.midi.refusals, 0);
  ASSERT_EQ(rig.client.fired.size(), static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    ASSERT_EQ(rig.client.fired[k].event.data1, k % 128);
    // The overflow fires at the first sample of the next tick.
    ASSERT_EQ(rig.client.fired[k].at, k < VoiceEventQueue::kCapacity ? 0 : 44) << k;
  }
}

TEST(EventTimingTest, ZeroFrameBlockKeepsTheMessages) {
  Rig rig;
  rig.midi.Add(5, 0x90, 60, 100);
  rig.client.Block(0);
  EXPECT_TRUE(rig.client.fired.empty());
  rig.client.Block(10);
  ASSERT_EQ(rig.client.fired.size(), 1u);
  EXPECT_EQ(rig.client.fired[0].at, 5);
}

TEST(EventTimingTest, ResetStartsANewTickAtTheNextBlock) {
  Rig rig;
  rig.client.Block(30);
  rig.clock.Reset();
  rig.clock.SetTickLength(48);
  rig.client.Block(100);
  EXPECT_EQ(rig.client.ticks, (std::vector<std::int64_t>{0, 30, 78, 126}));
}

TEST(VoiceEventQueueTest, RefusesWhenFullAndKeepsItsContents) {
  VoiceEventQueue queue;
  for (int k = 0; k < VoiceEventQueue::kCapacity; ++k) ASSERT_TRUE(queue.Push(k, 0x90, 1, 1));
  EXPECT_TRUE(queue.Full());
  EXPECT_FALSE(queue.Push(999, 0x80, 2, 0));
  EXPECT_EQ(queue.Size(), VoiceEventQueue::kCapacity);
  EXPECT_EQ(queue.Pop().offset, 0);
  EXPECT_TRUE(queue.Push(7, 0x80, 2, 0));  // wraps around the ring
  for (int k = 1; k < VoiceEventQueue::kCapacity; ++k) ASSERT_EQ(queue.Pop().offset, k);
  EXPECT_EQ(queue.Pop().status, 0x80);
  EXPECT_TRUE(queue.Empty());
}

TEST(VoiceEventQueueTest, LoweringOffsetsSaturates) {
  VoiceEventQueue queue;
  queue.Push(50, 0x90, 1, 1);
  queue.Push(INT32_MIN + 3, 0x90, 1, 1);
  queue.LowerOffsets(44);
  EXPECT_EQ(queue.Pop().offset, 6);
  EXPECT_EQ(queue.Pop().offset, INT32_MIN);
  queue.Push(1, 0x90, 1, 1);
  queue.Clear();
  EXPECT_TRUE(queue.Empty());
}

}  // namespace
}  // namespace engine
