// The Standard MIDI File reader: formats, running status, tempo changes and refusals.
#include <gtest/gtest.h>

#include <initializer_list>

#include "tools/MidiFile.h"

namespace {

std::vector<std::uint8_t> Chunk(const char* id, std::initializer_list<int> body) {
  std::vector<std::uint8_t> out(id, id + 4);
  const auto n = static_cast<std::uint32_t>(body.size());
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(n >> s));
  for (int b : body) out.push_back(static_cast<std::uint8_t>(b));
  return out;
}

std::vector<std::uint8_t> File(int format, int tracks, int division,
                               std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out = Chunk("MThd", {0, format, 0, tracks, division >> 8, division & 0xFF});
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(MidiFileTest, FormatZeroWithRunningStatusAndTempoChange) {
  // 480 ticks per quarter; 120 bpm, then 60 bpm from tick 480.
  const auto bytes =
      File(0, 1, 480, {Chunk("MTrk", {0x00, 0x90, 60,   100,  // note on at 0
                                      0x83, 0x60, 60,   0,    // running status: note "on" velocity 0 at 480 (0.5 s)
                                      0x00, 0xFF, 0x51, 3,   0x0F, 0x42, 0x40,  // tempo 1 000 000 us per quarter
                                      0x83, 0x60, 0xB0, 1,   64,                // controller at 960 ticks: 0.5 + 1.0 s
                                      0x00, 0xC0, 5,                            // program change: one data byte
                                      0x00, 0xFF, 0x2F, 0})});
  const MidiFileResult r = ParseMidiFile(bytes);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.events.size(), 4u);
  EXPECT_EQ(r.events[1].status, 0x90);
  EXPECT_EQ(r.events[1].data2, 0);
  EXPECT_DOUBLE_EQ(r.events[1].seconds, 0.5);
  EXPECT_DOUBLE_EQ(r.events[2].seconds, 1.5);
  EXPECT_EQ(r.events[3].status, 0xC0);
  EXPECT_EQ(r.events[3].data1, 5);
  EXPECT_DOUBLE_EQ(r.lengthSeconds, 1.5);
}

TEST(MidiFileTest, FormatOneMergesTracksWithTheTempoTrack) {
  const auto bytes =
      File(1, 2, 96,
           {
               Chunk("MTrk", {0x00, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0}),  // 500000: 120 bpm
               Chunk("XYZW", {1, 2, 3}),  // unknown chunks are skipped
               Chunk("MTrk", {0x60, 0x91, 64, 90, 0x60, 0x81, 64, 0, 0x00, 0xFF, 0x2F, 0}),
           });
  const MidiFileResult r = ParseMidiFile(bytes);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.events.size(), 2u);
  EXPECT_DOUBLE_EQ(r.events[0].seconds, 0.5);
  EXPECT_DOUBLE_EQ(r.events[1].seconds, 1.0);
  EXPECT_EQ(r.events[0].status, 0x91);
}

TEST(MidiFileTest, DamagedOrForeignFilesAreRefusedWithAReason) {
  EXPECT_FALSE(ParseMidiFile({}).ok);
  EXPECT_FALSE(ParseMidiFile({'R', 'I', 'F', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).ok);
  EXPECT_NE(ParseMidiFile(File(2, 1, 96, {Chunk("MTrk", {})})).error.find("format 2"), std::string::npos);
  EXPECT_FALSE(ParseMidiFile(File(0, 1, 0xE728, {Chunk("MTrk", {})})).ok);            // SMPTE division
  EXPECT_FALSE(ParseMidiFile(File(0, 1, 96, {Chunk("MTrk", {0x00, 60, 100})})).ok);   // data without status
  EXPECT_FALSE(ParseMidiFile(File(0, 1, 96, {Chunk("MTrk", {0x00, 0x90, 60})})).ok);  // truncated
  EXPECT_FALSE(ParseMidiFile(File(0, 1, 96, {Chunk("MTrk", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF})})).ok);  // endless delta
  EXPECT_FALSE(ParseMidiFile(File(0, 2, 96, {Chunk("MTrk", {})})).ok);  // a track is missing
  auto cut = File(0, 1, 96, {Chunk("MTrk", {0x00, 0x90, 60, 100})});
  cut.resize(cut.size() - 2);
  EXPECT_FALSE(ParseMidiFile(cut).ok);
  EXPECT_FALSE(ReadMidiFile("/nonexistent/file.mid").ok);
}

}  // namespace
