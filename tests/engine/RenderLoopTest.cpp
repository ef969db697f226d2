// The render loop with real voices: notes start at their sample in the audio, sustain,
// all notes off, the MG delay restart, Chord-mode lowering, panning, resets and clean output.
#include "engine/RenderLoop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tests/engine/VoicesTestMidi.h"

namespace engine {
namespace {

using testing::TestMidiQueue;

// Plain value and normalised position of a linear parameter.
void Set(RenderLoop& loop, int index, double v, double min, double max) {
  loop.ApplyParameter(index, v, (v - min) / (max - min));
}

// A playable patch: full sustain on EG2, short release, open filter.
std::unique_ptr<RenderLoop> MakeLoop(double rate = 44100.0) {
  auto loop = std::make_unique<RenderLoop>();
  loop->ResetEngine(rate);
  Set(*loop, 0, 0.5, 0, 1);   // Volume
  Set(*loop, 16, 63, 0, 63);  // cutoff
  Set(*loop, 28, 15, 0, 15);  // EG2 sustain
  Set(*loop, 29, 1, 0, 15);   // EG2 release
  Set(*loop, 6, 7, 0, 7);     // Voices: 64
  loop->FinishConstruction();
  return loop;
}

struct Stereo {
  std::vector<double> left, right;
};

// Renders `total` samples in blocks from `blocks` (cycled), feeding each block the
// messages of `midi` that fall in it (their `at` is absolute).
struct TimedMessage {
  std::int64_t at;
  std::uint8_t status, data1, data2;
};
Stereo Play(RenderLoop& loop, TestMidiQueue& midi, const std::vector<TimedMessage>& messages,
            const std::vector<int>& blocks, int total) {
  loop.SetTickSource(&midi);
  Stereo out{std::vector<double>(total), std::vector<double>(total)};
  std::int64_t start = 0;
  std::size_t next = 0;
  for (std::size_t b = 0; start < total; ++b) {
    const int frames = std::min<int>(blocks[b % blocks.size()], total - static_cast<int>(start));
    while (next < messages.size() && messages[next].at < start + frames) {
      const TimedMessage& m = messages[next++];
      midi.Add(static_cast<int>(m.at - start), m.status, m.data1, m.data2);
    }
    double* outputs[2] = {out.left.data() + start, out.right.data() + start};
    loop.RenderBlock(outputs, frames);
    start += frames;
  }
  loop.SetTickSource(nullptr);
  return out;
}

int FirstSound(const Stereo& s) {
  for (std::size_t i = 0; i < s.left.size(); ++i) {
    if (s.left[i] != 0.0 || s.right[i] != 0.0) return static_cast<int>(i);
  }
  return -1;
}

TEST(RenderLoopTest, NoteSoundsFromExactlyItsSampleForAnyBlockSize) {
  const std::vector<std::vector<int>> schedules = {{1},   {32},  {44},   {64},
                                                   {100}, {512}, {4096}, {7, 130, 44, 1, 300, 45, 64, 2}};
  for (const auto& blocks : schedules) {
    for (int at : {0, 1, 43, 44, 45, 99, 100, 131, 1000, 4097}) {
      SCOPED_TRACE("first block " + std::to_string(blocks[0]) + ", note at " + std::to_string(at));
      auto loop = MakeLoop();
      TestMidiQueue midi;
      const Stereo out = Play(*loop, midi, {{at, 0x90, 60, 100}}, blocks, 4400 + 200);
      ASSERT_EQ(FirstSound(out), at);
    }
  }
}

// Notes the absolute sample at which each note-on reaches the tuning service. Ticks fall
// on multiples of L (EventTimingTest), so tick count and tick position give the time.
class SpyNotes : public EqualTemperedNotes {
 public:
  explicit SpyNotes(const RenderLoop& loop) : loop_(loop) {}
  bool ShouldFilterNote(int note) override {
    starts.push_back(ticks_ * loop_.Clock().TickLength() + loop_.Clock().TickPosition() - loop_.Clock().TickLength());
    return note == filtered;
  }
  void CountTick() { ++ticks_; }
  std::vector<std::int64_t> starts;
  int filtered = -1;

 private:
  const RenderLoop& loop_;
  std::int64_t ticks_ = 0;
};

class CountingMidi : public TestMidiQueue {
 public:
  explicit CountingMidi(SpyNotes& spy) : spy_(spy) {}
  void OnControlTick() override { spy_.CountTick(); }

 private:
  SpyNotes& spy_;
};

TEST(RenderLoopTest, NoteOnsAtEveryOffsetOfTheBlockStartInOrder) {
  for (int frames : {1, 32, 44, 64, 100, 512}) {
    SCOPED_TRACE("block " + std::to_string(frames));
    auto loop = MakeLoop(48000.0);
    SpyNotes spy(*loop);
    CountingMidi midi(spy);
    loop->SetNoteServices(&spy);
    std::vector<TimedMessage> messages;
    const int total = std::max(3 * frames, 600);
    for (int t = 0; t < total; ++t) {
      messages.push_back({t, 0x90, static_cast<std::uint8_t>(t % 128), 100});
      messages.push_back({t, 0x80, static_cast<std::uint8_t>(t % 128), 0});
    }
    Play(*loop, midi, messages, {frames}, total);
    ASSERT_EQ(spy.starts.size(), static_cast<std::size_t>(total));
    for (int t = 0; t < total; ++t) ASSERT_EQ(spy.starts[t], t);
    loop->SetNoteServices(nullptr);
  }
}

TEST(RenderLoopTest, FilteredNoteStartsNothingAndIsNotHeld) {
  auto loop = MakeLoop();
  SpyNotes spy(*loop);
  spy.filtered = 61;
  loop->SetNoteServices(&spy);
  TestMidiQueue midi;
  const Stereo out = Play(*loop, midi, {{10, 0x90, 61, 100}}, {64}, 256);
  EXPECT_EQ(FirstSound(out), -1);
  EXPECT_EQ(spy.HeldKeyCount(), 0);
  loop->SetNoteServices(nullptr);
}

TEST(RenderLoopTest, SustainHoldsThroughNoteOffAndReleasesAtPedalUp) {
  auto loop = MakeLoop();
  TestMidiQueue midi;
  Play(*loop, midi, {{0, 0x90, 62, 90}, {20, 0xB0, 64, 127}, {40, 0x80, 62, 0}}, {64}, 2000);
  const Voice& v = loop->GetVoice(1);
  ASSERT_EQ(v.Note(), 62);
  EXPECT_TRUE(v.IsActive());
  EXPECT_FALSE(v.IsKeyDown());
  EXPECT_EQ(v.Eg2().stage, EnvelopeStage::kDecay);  // still sustaining
  EXPECT_TRUE(loop->Hold());
  Play(*loop, midi, {{5, 0xB0, 64, 0}}, {64}, 64);
  EXPECT_EQ(v.Eg2().stage, EnvelopeStage::kRelease);
  EXPECT_FALSE(loop->Hold());
  // The release (0.005 s) ends and the voice goes idle.
  Play(*loop, midi, {}, {64}, 4410);
  EXPECT_FALSE(v.IsActive());
}

TEST(RenderLoopTest, AllNotesOffReleasesEverythingAndDropsPendingEvents) {
  auto loop = MakeLoop();
  TestMidiQueue midi;
  loop->SetHold(true);
  // Notes at 0 and 10; a third one, due at 50 (a host offset beyond the block of 48), is
  // taken by the tick at 44 and still pending when the block ends.
  midi.Add(0, 0x90, 50, 90);
  midi.Add(10, 0x90, 55, 90);
  midi.Add(50, 0x90, 57, 90);
  loop->SetTickSource(&midi);
  std::vector<double> left(48), right(48);
  double* outputs[2] = {left.data(), right.data()};
  loop->RenderBlock(outputs, 48);
  ASSERT_EQ(loop->PendingEvents(), 1);
  loop->AllNotesOff();  // controllers 120 and 123 end here
  EXPECT_EQ(loop->PendingEvents(), 0);
  EXPECT_FALSE(loop->Hold());
  for (int j = 0; j < kVoiceCount; ++j) {
    EXPECT_FALSE(loop->GetVoice(j).IsHeld());
    EXPECT_FALSE(loop->GetVoice(j).IsKeyDown());
  }
  EXPECT_EQ(loop->GetVoice(1).Eg2().stage, EnvelopeStage::kRelease);
  const Stereo tail = Play(*loop, midi, {}, {64}, 4410);
  EXPECT_EQ(tail.left.back(), 0.0);  // nothing left sounding, the pending note never came
}

TEST(RenderLoopTest, FirstKeyDownRestartsTheMgDelay) {
  auto loop = MakeLoop();
  Set(*loop, 31, 3, 0, 3);  // longest delay: 1/1501 per tick
  TestMidiQueue midi;
  Play(*loop, midi, {{0, 0x90, 60, 90}}, {64}, 44);
  EXPECT_EQ(loop->GetModulation().DelayRamp(), 0.0);
  Play(*loop, midi, {}, {64}, 440);
  const double ramp = loop->GetModulation().DelayRamp();
  EXPECT_NEAR(ramp, 10.0 / 1501.0, 1e-12);
  // A second key while the first is held does not restart it.
  Play(*loop, midi, {{0, 0x90, 64, 90}}, {64}, 44);
  EXPECT_GT(loop->GetModulation().DelayRamp(), ramp);
  // All keys up, then a new key: restart.
  Play(*loop, midi, {{0, 0x80, 60, 0}, {0, 0x80, 64, 0}, {30, 0x90, 67, 90}}, {64}, 44);
  EXPECT_EQ(loop->GetModulation().DelayRamp(), 0.0);
}

TEST(RenderLoopTest, ChordModeLowersTheEngineSettingOnly) {
  auto loop = MakeLoop();
  const int chord[7] = {4, 7, 11, 14, 17, 21, 24};
  loop->SetChordMemory(chord, 7);
  Set(*loop, 5, 1, 0, 2);  // Chord, with "Voices" at 7
  EXPECT_EQ(loop->Settings().voicesSetting, 4);
  EXPECT_EQ(loop->Layout().polyphony, 6);
  EXPECT_EQ(loop->Layout().total, 48);
  // Regression: the lowered setting used to stay in force after a switch to Poly, so the
  // instance played 16 voices with "Voices" at 7 (64), and the same program saved and
  // loaded again played 64.
  Set(*loop, 5, 0, 0, 2);
  EXPECT_EQ(loop->Settings().voicesSetting, 7);
  EXPECT_EQ(loop->Layout().polyphony, 64);
  Set(*loop, 5, 1, 0, 2);  // back to Chord: lowered again
  EXPECT_EQ(loop->Settings().voicesSetting, 4);
  // A smaller chord and the host's 7 again: the full 32 slots come back.
  const int third[1] = {4};
  loop->SetChordMemory(third, 1);
  Set(*loop, 6, 7, 0, 7);
  EXPECT_EQ(loop->Settings().voicesSetting, 7);
  EXPECT_EQ(loop->Layout().total, 64);
  // Playing the chord captured from held keys.
  TestMidiQueue midi;
  Set(*loop, 5, 0, 0, 2);
  Play(*loop, midi, {{0, 0x90, 60, 90}, {0, 0x90, 64, 90}, {0, 0x90, 67, 90}}, {64}, 64);
  ASSERT_TRUE(loop->CaptureChord());
  ASSERT_EQ(loop->Chord().size, 2);
  EXPECT_EQ(loop->Chord().offsets[1], 7);
}

TEST(RenderLoopTest, UnisonDetunesLayersAndScalesTheOutput) {
  auto loop = MakeLoop();
  Set(*loop, 5, 2, 0, 2);  // Unison at setting 7: V = 2, P = 32
  EXPECT_DOUBLE_EQ(loop->OutputGain(), 0.25 / std::sqrt(2.0));
  TestMidiQueue midi;
  Play(*loop, midi, {{0, 0x90, 48, 90}}, {64}, 64);
  EXPECT_EQ(loop->GetVoice(1).UnisonDetune(), -8);
  EXPECT_EQ(loop->GetVoice(33).UnisonDetune(), 8);
  EXPECT_EQ(loop->GetVoice(33).Note(), 48);
}

TEST(RenderLoopTest, SpreadPansTheTwoVoicesOfADuoApart) {
  auto loop = MakeLoop();
  Set(*loop, 6, 1, 0, 7);  // Poly, 2 voices
  Set(*loop, 7, 1, 0, 1);  // spread 1
  TestMidiQueue midi;
  // The first note lands on slot 1: hard right, so the left channel stays silent.
  const Stereo out = Play(*loop, midi, {{0, 0x90, 57, 90}}, {64}, 512);
  double left = 0, right = 0;
  for (int i = 0; i < 512; ++i) {
    left += std::fabs(out.left[i]);
    right += std::fabs(out.right[i]);
  }
  EXPECT_EQ(left, 0.0);
  EXPECT_GT(right, 1.0);
}

// The mix equals a plain loop over copies of the voices: each rendered on its own
// (Voice::Render), updated at every control tick (Voice::UpdateControl) with the loop's own
// modulation, scaled by its pan gains and summed in the canonical order (lane j % 4 over
// the groups in order, then (lane 0 + lane 2) + (lane 1 + lane 3)), bit for bit on every
// path, through a dozen ticks with a parameter of the voice patch changed before each and
// voices falling silent on the way. The packs keep the voices between ticks and blocks;
// the plain loop shows they end up exactly where the voices' own code would.
TEST(RenderLoopTest, MixIsThePlainVoiceLoopThroughTicksAndParameterChanges) {
  struct Case {
    int mode;                   // "Mode": 0 Poly, 1 Chord, 2 Unison
    int setting;                // "Voices"
    int count;                  // notes played
    std::vector<int> released;  // long before the check: silent, leaving gaps
    std::vector<int> fading;    // just before it: they fall silent during the check
  };
  const std::vector<Case> cases = {
      {0, 4, 1, {}, {}},
      {0, 4, 4, {}, {2}},
      {0, 4, 7, {}, {}},
      {0, 4, 9, {}, {8}},
      {0, 4, 11, {0, 2, 3, 6, 9}, {4}},
      {0, 4, 16, {1, 4, 5, 6, 7, 8, 12, 14}, {0, 15}},
      {0, 7, 40, {3, 9, 10, 11, 30}, {20, 21}},  // 64 voices, some stolen
      {2, 5, 5, {1}, {3}},                       // unison, 4 voices per note
      {1, 4, 6, {2}, {}},                        // chords of three
  };
  // Voice-patch parameters (plain value ranges) changed one per tick.
  struct Change {
    int index;
    double min, max;
  };
  const Change changes[] = {{16, 0, 63}, {17, 0, 7},  {22, 0, 15}, {9, 0, 2},  {19, -7, 7}, {13, 0, 4},
                            {15, 0, 7},  {27, 0, 15}, {20, 0, 1},  {18, 0, 1}, {12, 0, 2},  {23, 0, 15}};
  constexpr int kTicks = 12;
  for (VoicePath path : kVoicePaths) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(VoicePathName(path)) + ", mode " + std::to_string(c.mode) + ", " +
                   std::to_string(c.count) + " notes, " + std::to_string(c.released.size()) + " released");
      auto loop = MakeLoop();
      loop->SetVoicePath(path);
      const int chord[2] = {4, 7};
      loop->SetChordMemory(chord, 2);
      Set(*loop, 5, c.mode, 0, 2);
      Set(*loop, 6, c.setting, 0, 7);
      Set(*loop, 7, 0.8, 0, 1);  // spread
      Set(*loop, 17, 5, 0, 7);   // resonance
      Set(*loop, 16, 40, 0, 63);
      Set(*loop, 21, 6, 0, 15);  // EG1 attack: the filter still sweeps
      TestMidiQueue midi;
      std::vector<TimedMessage> messages;
      for (int k = 0; k < c.count; ++k) messages.push_back({k * 3, 0x90, static_cast<std::uint8_t>(40 + k), 90});
      for (int k : c.released) messages.push_back({100 + k, 0x80, static_cast<std::uint8_t>(40 + k), 0});
      for (int k : c.fading) messages.push_back({44 * 40 - 60, 0x80, static_cast<std::uint8_t>(40 + k), 0});
      Play(*loop, midi, messages, {44}, 44 * 40);
      Play(*loop, midi, {}, {1}, 1);  // runs a tick: the copies start right after it
      std::vector<Voice> copies(loop->Voices().begin(), loop->Voices().end());
      int sounding = 0;
      for (const Voice& v : copies) sounding += v.IsActive() ? 1 : 0;
      ASSERT_GT(sounding, 0);
      int fell = 0;
      for (int i = 1; i < kTicks * 44; ++i) {
        const bool tick = i % 44 == 0;
        if (tick) {
          const Change& change = changes[(i / 44) % 12];
          const double v = change.min + (change.max - change.min) * ((i / 44) * 7 % 11) / 10.0;
          Set(*loop, change.index, std::round(v), change.min, change.max);
        }
        const Stereo out = Play(*loop, midi, {}, {1}, 1);
        double left[4] = {}, right[4] = {};
        for (int j = 0; j < loop->Layout().total; ++j) {
          if (tick) {
            const bool was = copies[j].IsActive();
            copies[j].UpdateControl(loop->GetModulation().Values(), loop->Patch());
            fell += was && !copies[j].IsActive() ? 1 : 0;
          }
          if (!copies[j].IsActive()) continue;
          const double v = copies[j].Render(loop->Patch());
          left[j % 4] += v * loop->Gains().left[j];
          right[j % 4] += v * loop->Gains().right[j];
        }
        ASSERT_EQ(out.left[0], ((left[0] + left[2]) + (left[1] + left[3])) * loop->OutputGain()) << "sample " << i;
        ASSERT_EQ(out.right[0], ((right[0] + right[2]) + (right[1] + right[3])) * loop->OutputGain()) << "sample " << i;
      }
      EXPECT_EQ(fell > 0, !c.fading.empty());
      for (int j = 0; j < kVoiceCount; ++j) ASSERT_EQ(loop->GetVoice(j).IsActive(), copies[j].IsActive()) << j;
    }
  }
}

TEST(RenderLoopTest, ResetKeepsVoicesAtTheSameRateAndRefusesNonsense) {
  auto loop = MakeLoop();
  TestMidiQueue midi;
  Play(*loop, midi, {{0, 0x90, 60, 90}}, {64}, 128);
  ASSERT_TRUE(loop->GetVoice(0).IsActive());
  EXPECT_TRUE(loop->ResetEngine(44100.0));
  EXPECT_TRUE(loop->GetVoice(0).IsActive());
  EXPECT_EQ(loop->Clock().Countdown(), 0);
  EXPECT_FALSE(loop->ResetEngine(0.0));
  EXPECT_FALSE(loop->ResetEngine(std::nan("")));
  EXPECT_FALSE(loop->ResetEngine(-44100.0));
  EXPECT_EQ(loop->SampleRate(), 44100.0);
  loop->SetPitchBend(0.5);
  EXPECT_TRUE(loop->ResetEngine(96000.0));
  EXPECT_FALSE(loop->GetVoice(0).IsActive());
  EXPECT_EQ(loop->Clock().TickLength(), 96);
  EXPECT_EQ(loop->PitchBend(), 0.0);
  EXPECT_EQ(loop->Allocator().NoteCounter(), 0);
}

TEST(RenderLoopTest, ZeroFramesAndNullOutputsAreHarmless) {
  auto loop = MakeLoop();
  double left[4] = {7, 7, 7, 7}, right[4] = {7, 7, 7, 7};
  double* outputs[2] = {left, right};
  loop->RenderBlock(outputs, 0);
  EXPECT_EQ(left[0], 7.0);
  loop->RenderBlock(nullptr, 64);
  double* missing[2] = {left, nullptr};
  loop->RenderBlock(missing, 4);
  EXPECT_EQ(left[0], 7.0);
}

// Every sample of a dense, resonant render through each effect is finite and never
// subnormal, including the release tails into silence.
TEST(RenderLoopTest, OutputIsFreeOfNaNAndDenormals) {
  for (int effect = 0; effect <= 3; ++effect) {
    SCOPED_TRACE("effects mode " + std::to_string(effect));
    auto loop = MakeLoop();
    Set(*loop, 17, 7, 0, 7);    // full resonance
    Set(*loop, 20, 1, 0, 1);    // 24 dB
    Set(*loop, 16, 20, 0, 63);  // low cutoff
    Set(*loop, 19, 7, -7, 7);   // full envelope sweep
    Set(*loop, 33, 7, 0, 7);    // MG on the filter
    Set(*loop, 34, effect, 0, 3);
    Set(*loop, 36, 1, -1, 1);  // phaser feedback at the top
    TestMidiQueue midi;
    std::vector<TimedMessage> messages;
    for (int k = 0; k < 40; ++k) {
      messages.push_back({k * 97, 0x90, static_cast<std::uint8_t>(24 + k * 2), 100});
      messages.push_back({6000 + k * 13, 0x80, static_cast<std::uint8_t>(24 + k * 2), 0});
    }
    const Stereo out = Play(*loop, midi, messages, {100, 37, 512}, 44100);
    for (std::size_t i = 0; i < out.left.size(); ++i) {
      for (double s : {out.left[i], out.right[i]}) {
        ASSERT_TRUE(std::isfinite(s)) << i;
        ASSERT_NE(std::fpclassify(s), FP_SUBNORMAL) << i;
      }
    }
  }
}

}  // namespace
}  // namespace engine
