// Voice allocation against a bank of plain records: slot choice, stealing, the monophonic
// fallback, sustain, all notes off and the chord memory.
#include "engine/VoiceAllocator.h"

#include <gtest/gtest.h>

#include <vector>

namespace engine {
namespace {

// Voices reduced to the allocation state, with the voice rules of note-off and sustain.
// A released voice stays active (its release tail) until the test lets it finish.
class FakeBank : public VoiceBank {
 public:
  struct Record {
    bool active = false;
    bool keyDown = false;
    bool sustained = false;
    bool held = false;
    bool released = false;
    int note = 60;
    std::int64_t stamp = 0;
    int detune = 0;
    int starts = 0;
  };

  bool IsActive(int v) const override { return voices[v].active; }
  int Note(int v) const override { return voices[v].note; }
  std::int64_t StartStamp(int v) const override { return voices[v].stamp; }
  bool IsHeld(int v) const override { return voices[v].held; }
  void StartNote(int v, int note, std::int64_t stamp, int detune) override {
    Record& r = voices[v];
    r.active = r.keyDown = r.held = true;
    r.released = false;
    r.note = note;
    r.stamp = stamp;
    r.detune = detune;
    ++r.starts;
    started.push_back(v);
  }
  void ReleaseNote(int v, bool forced) override {
    Record& r = voices[v];
    r.keyDown = false;
    if (!forced && r.sustained) return;
    r.held = false;
    r.released = true;
  }
  void SetSustain(int v, bool on) override {
    Record& r = voices[v];
    r.sustained = on;
    if (r.keyDown || on) return;
    r.held = false;
    r.released = true;
  }
  void Silence(int v) override {
    Record& r = voices[v];
    r.keyDown = r.held = false;
    r.released = true;
  }

  // The release tails end.
  void FinishReleases() {
    for (Record& r : voices) {
      if (r.released) r.active = false;
    }
  }

  Record voices[kVoiceCount];
  std::vector<int> started;
};

class VoiceAllocatorTest : public ::testing::Test {
 protected:
  void Use(KeyMode mode, int setting) {
    allocator.SetLayout(ComputeVoiceLayout(mode, setting, allocator.Chord().size));
  }
  FakeBank bank;
  VoiceAllocator allocator{bank};
};

TEST_F(VoiceAllocatorTest, RoundRobinFromTheSlotAfterTheLastOne) {
  Use(KeyMode::kPoly, 2);  // P = 6
  for (int n = 0; n < 6; ++n) allocator.NoteOn(40 + n);
  // The search starts after slot 0, so the first note lands on slot 1.
  EXPECT_EQ(bank.started, (std::vector<int>{1, 2, 3, 4, 5, 0}));
  for (int n = 0; n < 6; ++n) EXPECT_EQ(bank.voices[bank.started[n]].stamp, n);
  EXPECT_EQ(allocator.NoteCounter(), 6);
}

TEST_F(VoiceAllocatorTest, RepeatedNoteReusesItsSlotEvenWhenAnotherIsFree) {
  Use(KeyMode::kPoly, 3);  // P = 8
  // Voices keep their last note when silent; after a reset that is note 60 everywhere,
  // so note 60 first plays on slot 0.
  allocator.NoteOn(60);
  EXPECT_EQ(bank.started.back(), 0);
  allocator.NoteOn(62);  // slot 1
  allocator.NoteOff(62, -1);
  bank.FinishReleases();
  allocator.NoteOn(64);  // slot 2
  allocator.NoteOn(62);  // back to slot 1 although slots 3 ... 7 are idle
  EXPECT_EQ(bank.started.back(), 1);
  EXPECT_EQ(bank.voices[1].starts, 2);
  // Sounding or not: a second strike of a sounding note retriggers the same slot.
  allocator.NoteOn(64);
  EXPECT_EQ(bank.started.back(), 2);
}

TEST_F(VoiceAllocatorTest, StealsTheOldestStartStamp) {
  Use(KeyMode::kPoly, 2);                                // P = 6
  for (int n = 0; n < 6; ++n) allocator.NoteOn(50 + n);  // slots 1..5, 0; note 50 oldest
  allocator.NoteOn(70);
  EXPECT_EQ(bank.started.back(), 1);  // note 50's slot
  EXPECT_EQ(bank.voices[1].note, 70);
  allocator.NoteOn(71);
  EXPECT_EQ(bank.started.back(), 2);  // now note 51 is the oldest
  // Equal stamps keep the earlier candidate.
  for (auto& r : bank.voices) r.stamp = 7;
  allocator.NoteOn(72);
  EXPECT_EQ(bank.started.back(), 3);  // the slot after the last one used
}

// Regression: the search once took its next slot from the moving candidate, skipping
// slots; here it stole slot 1 although slot 2 was idle.
TEST_F(VoiceAllocatorTest, FreeSlotIsFoundBeforeAnyVoiceIsStolen) {
  VoiceLayout four = ComputeVoiceLayout(KeyMode::kPoly, 0, 0);
  four.polyphony = four.total = 4;
  allocator.SetLayout(four);
  for (int n = 0; n < 4; ++n) allocator.NoteOn(60 + n);  // slots 1, 2, 3, 0
  bank.voices[0].stamp = 5;
  bank.voices[1].stamp = 1;
  bank.voices[3].stamp = 3;
  bank.voices[2].active = false;
  allocator.NoteOn(72);  // search starts at slot 1 (last slot 0)
  EXPECT_EQ(bank.started.back(), 2);
}

TEST_F(VoiceAllocatorTest, MonoIsLastNotePriorityWithHighestNoteFallback) {
  Use(KeyMode::kPoly, 0);  // P = 1
  allocator.NoteOn(60);
  allocator.NoteOn(67);
  allocator.NoteOn(64);  // last note wins
  EXPECT_EQ(bank.voices[0].note, 64);
  // Release 64 with 60 and 67 down: the highest remaining key, 67, takes over.
  allocator.NoteOff(64, 67);
  EXPECT_EQ(bank.voices[0].note, 67);
  EXPECT_FALSE(bank.voices[0].released);
  // Releasing 60 (not sounding) while 67 plays changes nothing.
  const int starts = bank.voices[0].starts;
  allocator.NoteOff(60, 67);
  EXPECT_EQ(bank.voices[0].starts, starts);
  EXPECT_FALSE(bank.voices[0].released);
  // The last key up releases the voice.
  allocator.NoteOff(67, -1);
  EXPECT_TRUE(bank.voices[0].released);
  EXPECT_EQ(bank.started, (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(VoiceAllocatorTest, SustainHoldsThroughNoteOffAndReleasesAtPedalUp) {
  Use(KeyMode::kPoly, 3);
  allocator.NoteOn(61);
  allocator.SetSustain(true);
  allocator.NoteOn(62);
  allocator.NoteOff(61, 62);
  allocator.NoteOff(62, -1);
  EXPECT_FALSE(bank.voices[1].released);
  EXPECT_FALSE(bank.voices[2].released);
  EXPECT_TRUE(bank.voices[1].held);                            // still held, so a chord capture would see it
  for (const auto& r : bank.voices) EXPECT_TRUE(r.sustained);  // all 64 get the flag
  allocator.NoteOn(64);                                        // key still down at pedal up: keeps sounding
  allocator.SetSustain(false);
  EXPECT_TRUE(bank.voices[1].released);
  EXPECT_TRUE(bank.voices[2].released);
  EXPECT_FALSE(bank.voices[3].released);
  EXPECT_FALSE(allocator.Sustain());
}

TEST_F(VoiceAllocatorTest, AllNotesOffSilencesEveryVoiceAndDropsTheHold) {
  Use(KeyMode::kUnison, 1);  // 8 x 8
  allocator.SetSustain(true);
  for (int n = 0; n < 8; ++n) allocator.NoteOn(48 + n);
  allocator.AllNotesOff();
  EXPECT_FALSE(allocator.Sustain());
  for (const auto& r : bank.voices) {
    EXPECT_FALSE(r.sustained);
    EXPECT_FALSE(r.held);
    EXPECT_FALSE(r.keyDown);
  }
  for (int v = 0; v < 64; ++v) EXPECT_TRUE(bank.voices[v].released) << v;
}

TEST_F(VoiceAllocatorTest, UnisonStacksDetunedLayersOfOneSlot) {
  Use(KeyMode::kUnison, 3);  // V = 6, P = 10
  allocator.NoteOn(61);      // slot 1: voices 1, 11, 21, ..., 51
  const int expected[6] = {-10, -6, -3, 3, 6, 10};
  for (int layer = 0; layer < 6; ++layer) {
    const auto& r = bank.voices[layer * 10 + 1];
    EXPECT_EQ(r.note, 61);
    EXPECT_EQ(r.detune, expected[layer]);
  }
  allocator.NoteOff(61, -1);
  for (int layer = 0; layer < 6; ++layer) EXPECT_TRUE(bank.voices[layer * 10 + 1].released);
}

TEST_F(VoiceAllocatorTest, ChordCaptureOfOneNoteGivesFiveZeros) {
  Use(KeyMode::kPoly, 3);
  allocator.NoteOn(57);
  ASSERT_TRUE(allocator.CaptureChord());
  ASSERT_EQ(allocator.Chord().size, 5);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(allocator.Chord().offsets[k], 0);
}

TEST_F(VoiceAllocatorTest, ChordCaptureIsSortedDeduplicatedAndRelative) {
  Use(KeyMode::kUnison, 1);  // 8 x 8: every note held eight times
  for (int note : {67, 60, 64, 72}) allocator.NoteOn(note);
  allocator.NoteOn(64);  // retriggered, still one slot
  ASSERT_TRUE(allocator.CaptureChord());
  ASSERT_EQ(allocator.Chord().size, 3);
  EXPECT_EQ(allocator.Chord().offsets[0], 4);
  EXPECT_EQ(allocator.Chord().offsets[1], 7);
  EXPECT_EQ(allocator.Chord().offsets[2], 12);

  // Nothing held: the memory stays.
  allocator.AllNotesOff();
  EXPECT_FALSE(allocator.CaptureChord());
  EXPECT_EQ(allocator.Chord().size, 3);

  // Chord mode plays the root and the offsets on the layers of one slot.
  bank.FinishReleases();
  Use(KeyMode::kChord, 7);  // V = 4 -> setting lowered to 6, P = 16
  ASSERT_EQ(allocator.Layout().voicesPerNote, 4);
  bank.started.clear();
  allocator.NoteOn(50);
  const int p = allocator.Layout().polyphony;
  ASSERT_EQ(bank.started.size(), 4u);
  const int slot = bank.started[0];
  EXPECT_EQ(bank.voices[slot].note, 50);
  EXPECT_EQ(bank.voices[p + slot].note, 54);
  EXPECT_EQ(bank.voices[2 * p + slot].note, 57);
  EXPECT_EQ(bank.voices[3 * p + slot].note, 62);
  EXPECT_EQ(bank.voices[p + slot].detune, 0);
}

TEST_F(VoiceAllocatorTest, LayersBeyondTheMemoryDoubleThePlayedNote) {
  // Capturing a smaller chord in Chord mode keeps V until the next reconfiguration.
  const int wide[4] = {3, 7, 10, 14};
  allocator.SetChordMemory(wide, 4);
  Use(KeyMode::kChord, 0);  // V = 5, P = 1
  const int small[1] = {4};
  allocator.SetChordMemory(small, 1);
  allocator.NoteOn(40);
  EXPECT_EQ(bank.voices[1].note, 44);
  for (int layer = 2; layer < 5; ++layer) EXPECT_EQ(bank.voices[layer].note, 40);
}

TEST_F(VoiceAllocatorTest, DamagedChordMemoryIsShortenedAndLimited) {
  std::vector<int> longList(100, 3);
  longList[1] = -40;
  longList[2] = 9000;
  allocator.SetChordMemory(longList.data(), static_cast<int>(longList.size()));
  ASSERT_EQ(allocator.Chord().size, kMaxChordOffsets);
  EXPECT_EQ(allocator.Chord().offsets[0], 3);
  EXPECT_EQ(allocator.Chord().offsets[1], 0);
  EXPECT_EQ(allocator.Chord().offsets[2], 127);
  allocator.SetChordMemory(nullptr, 5);
  EXPECT_EQ(allocator.Chord().size, 0);
  allocator.SetChordMemory(longList.data(), -2);
  EXPECT_EQ(allocator.Chord().size, 0);
}

TEST_F(VoiceAllocatorTest, NewLayoutRestartsTheRoundRobin) {
  Use(KeyMode::kPoly, 3);
  allocator.NoteOn(61);
  allocator.NoteOn(62);
  EXPECT_EQ(allocator.LastSlot(), 2);
  Use(KeyMode::kPoly, 4);
  EXPECT_EQ(allocator.LastSlot(), 0);
}

}  // namespace
}  // namespace engine
