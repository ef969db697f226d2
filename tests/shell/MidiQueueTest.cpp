// The shell's MIDI queue: offset order, capacity for the block size, and what survives
// when a block brings more messages than it holds.
#include "shell/MidiQueue.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

MidiMessage Msg(int offset, int status, int data1 = 60, int data2 = 100) {
  return MidiMessage{offset, static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(data1),
                     static_cast<std::uint8_t>(data2)};
}

std::vector<MidiMessage> Drain(shell::MidiQueue& queue) {
  std::vector<MidiMessage> out;
  while (!queue.Empty()) {
    out.push_back(queue.Front());
    queue.PopFront();
  }
  return out;
}

TEST(MidiQueueTest, KeepsOffsetOrderAndArrivalOrderForEqualOffsets) {
  shell::MidiQueue queue;
  queue.Add(Msg(10, 0x90, 1));
  queue.Add(Msg(30, 0xE0, 2));
  queue.Add(Msg(20, 0x90, 3));  // a delayed controller may sit behind a later note
  queue.Add(Msg(10, 0x80, 4));
  const std::vector<MidiMessage> out = Drain(queue);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].data1, 1);
  EXPECT_EQ(out[1].data1, 4);
  EXPECT_EQ(out[2].data1, 3);
  EXPECT_EQ(out[3].data1, 2);
}

TEST(MidiQueueTest, CapacityIsTheBlockSizeRoundedUpToMultiplesOf512) {
  shell::MidiQueue queue;
  EXPECT_EQ(queue.Capacity(), 1024);
  const int cases[][2] = {{1, 512}, {512, 512}, {513, 1024}, {1000, 1024}, {4096, 4096}, {0, 512}};
  for (const auto& c : cases) {
    EXPECT_TRUE(queue.SetCapacityForBlock(c[0]));
    EXPECT_EQ(queue.Capacity(), c[1]) << "block size " << c[0];
  }
  // Never below what is still queued, which survives the change.
  queue.SetCapacityForBlock(2048);
  for (int i = 0; i < 700; ++i) queue.Add(Msg(i, 0x90));
  queue.SetCapacityForBlock(64);
  EXPECT_GE(queue.Capacity(), 700);
  EXPECT_EQ(queue.Size(), 700);
  EXPECT_EQ(queue.Front().offset, 0);
}

TEST(MidiQueueTest, FullQueueDropsNewNotesButKeepsNoteOffsAndThePedal) {
  shell::MidiQueue queue;
  queue.SetCapacityForBlock(512);
  for (int i = 0; i < 600; ++i) queue.Add(Msg(i % 256, 0x90, i % 128));
  EXPECT_EQ(queue.Size(), 512);
  EXPECT_EQ(queue.Dropped(), 88);
  // Note offs of both spellings and the pedal push out the latest ordinary messages.
  queue.Add(Msg(300, 0x80, 5, 0));
  queue.Add(Msg(301, 0x93, 6, 0));
  queue.Add(Msg(302, 0xB0, 64, 0));
  queue.Add(Msg(5, 0xE0, 0, 64));  // ordinary: dropped
  EXPECT_EQ(queue.Size(), 512);
  const std::vector<MidiMessage> out = Drain(queue);
  int endings = 0;
  for (const MidiMessage& m : out) endings += shell::MidiQueue::EndsSound(m) ? 1 : 0;
  EXPECT_EQ(endings, 3);
  EXPECT_EQ(out.back().offset, 302);
  for (const MidiMessage& m : out) EXPECT_NE(m.Kind(), 0xE0);
}

TEST(MidiQueueTest, AQueueFullOfNoteOffsRefusesTheNextOne) {
  shell::MidiQueue queue;
  queue.SetCapacityForBlock(512);
  for (int i = 0; i < 512; ++i) EXPECT_TRUE(queue.Add(Msg(i, 0x80)));
  EXPECT_FALSE(queue.Add(Msg(600, 0x80)));
  EXPECT_EQ(queue.Size(), 512);
  EXPECT_EQ(queue.Dropped(), 1);
}

TEST(MidiQueueTest, TakenMessagesFreeTheirRoom) {
  shell::MidiQueue queue;
  queue.SetCapacityForBlock(512);
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 400; ++i) EXPECT_TRUE(queue.Add(Msg(i, 0x90)));
    for (int i = 0; i < 400; ++i) queue.PopFront();
  }
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.Dropped(), 0);
}

TEST(MidiQueueTest, LoweringOffsetsSaturates) {
  shell::MidiQueue queue;
  queue.Add(Msg(100, 0x90));
  queue.Add(Msg(std::numeric_limits<std::int32_t>::min() + 5, 0x90));
  queue.LowerOffsets(44);
  const std::vector<MidiMessage> out = Drain(queue);
  EXPECT_EQ(out[0].offset, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(out[1].offset, 56);
}

}  // namespace
