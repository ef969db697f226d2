// Generated dumps written as WAV files and decoded back, clean, impaired and damaged.
#include <gtest/gtest.h>

#include "TapeTestSupport.h"
#include "tape/TapeDecoder.h"

namespace {

using tape::TapeStatus;
using tape::WavFormat;

TapeStatus DecodeFile(const std::string& path, tape::TapeData* data = nullptr,
                      const tape::TapeReadSettings& settings = {}) {
  const tape::TapeDecodeResult r = tape::DecodeTapeFile(path, settings);
  if (data != nullptr) *data = r.data;
  return r.status;
}

TEST(TapeRoundTrip, EveryFormatRateAndChannelCountGivesTheBytesBack) {
  tape_test::TempFolder folder;
  const std::string path = folder.File("dump.wav");
  std::uint32_t seed = 1;
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0}) {
    for (WavFormat format :
         {WavFormat::kPcm8, WavFormat::kPcm16, WavFormat::kPcm24, WavFormat::kFloat32, WavFormat::kFloat64}) {
      for (int channels : {1, 2}) {
        SCOPED_TRACE(testing::Message() << rate << " Hz, format " << int(format) << ", " << channels << " ch");
        const tape::TapeData data = tape_test::RandomData(seed++);
        tape::TapeSignalOptions o = tape_test::Options(rate);
        o.leaderSeconds = 0.3;
        ASSERT_TRUE(tape_test::WriteDump(path, tape::MakeTapeBlock(data), o, {format, 0, channels, channels == 2}));
        tape::TapeData decoded{};
        ASSERT_EQ(DecodeFile(path, &decoded), TapeStatus::kOk);
        EXPECT_EQ(decoded, data);
      }
    }
  }
}

TEST(TapeRoundTrip, ToleratesOffsetNoiseSpeedWowAndLeadingRubbish) {
  tape_test::TempFolder folder;
  const std::string path = folder.File("dump.wav");
  const tape::TapeData data = tape_test::RandomData(77);
  struct Case {
    const char* name;
    void (*apply)(tape::TapeSignalOptions&);
  };
  const Case cases[] = {
      {"offset 0.3 of a 0.5 tone", [](tape::TapeSignalOptions& o) { o.dcOffset = 0.3; }},
      {"quiet tone at 0.01", [](tape::TapeSignalOptions& o) { o.level = 0.01; }},
      {"noise at 5 % of the tone", [](tape::TapeSignalOptions& o) { o.noiseRms = 0.025; }},
      {"3 % fast", [](tape::TapeSignalOptions& o) { o.speed = 1.03; }},
      {"5 % slow", [](tape::TapeSignalOptions& o) { o.speed = 0.95; }},
      {"wow +-3 % at 1 Hz", [](tape::TapeSignalOptions& o) { o.wowDepth = 0.03; }},
      {"loud noise before the tone",
       [](tape::TapeSignalOptions& o) {
         o.leadInSeconds = 1.0;
         o.leadInNoiseRms = 0.3;
       }},
      {"random half-waves before the leader", [](tape::TapeSignalOptions& o) { o.garbageSeconds = 0.5; }},
      {"no band limit", [](tape::TapeSignalOptions& o) { o.bandwidthHz = 0.0; }},
      {"shallow dropout to 60 %",
       [](tape::TapeSignalOptions& o) {
         o.dropoutAtSeconds = 1.0;
         o.dropoutSeconds = 0.05;
         o.dropoutGain = 0.6;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tape::TapeSignalOptions o = tape_test::Options(44100.0);
    c.apply(o);
    ASSERT_TRUE(tape_test::WriteDump(path, tape::MakeTapeBlock(data), o, {}));
    tape::TapeData decoded{};
    ASSERT_EQ(DecodeFile(path, &decoded), TapeStatus::kOk);
    EXPECT_EQ(decoded, data);
  }
}

TEST(TapeRoundTrip, AChanceHeaderBeforeTheRealOneIsHarmless) {
  tape_test::TempFolder folder;
  const std::string path = folder.File("dump.wav");
  const tape::TapeData data = tape_test::RandomData(5);
  // A "P" frame and two stray bytes, then leader, then the real block.
  std::vector<std::uint8_t> bytes{0x50, 0x00, 0xA5};
  std::vector<std::uint8_t> padded;
  const auto block = tape::MakeTapeBlock(data);
  tape::TapeSignalOptions o = tape_test::Options(44100.0);
  o.leaderSeconds = 0.2;
  // The leader sits between the chance bytes and the block: encode both and join them.
  tape::TapeSignal first = tape::EncodeTapeBytes(bytes, o);
  tape::TapeSignal second = tape::EncodeTapeBytes(block, o);
  first.samples.insert(first.samples.end(), second.samples.begin(), second.samples.end());
  ASSERT_TRUE(tape::WriteFileBytes(path, tape::EncodeWav(first.samples, {}, {})));
  tape::TapeData decoded{};
  ASSERT_EQ(DecodeFile(path, &decoded), TapeStatus::kOk);
  EXPECT_EQ(decoded, data);
}

TEST(TapeRoundTrip, DamagedRecordingsAreRefused) {
  tape_test::TempFolder folder;
  const std::string path = folder.File("dump.wav");
  const tape::TapeData data = tape_test::RandomData(11);
  const auto block = tape::MakeTapeBlock(data);
  const tape::TapeSignalOptions o = tape_test::Options(44100.0);

  auto badChecksum = block;
  badChecksum.back() ^= 0x01;
  ASSERT_TRUE(tape_test::WriteDump(path, badChecksum, o, {}));
  EXPECT_EQ(DecodeFile(path), TapeStatus::kBadChecksum);

  // Without "6" the framer may find a chance 0x36 inside the data; either way it fails.
  auto no6 = block;
  no6.erase(no6.begin() + 1);
  ASSERT_TRUE(tape_test::WriteDump(path, no6, o, {}));
  EXPECT_NE(DecodeFile(path), TapeStatus::kOk);
  auto noP = block;
  noP.erase(noP.begin());
  ASSERT_TRUE(tape_test::WriteDump(path, noP, o, {}));
  EXPECT_NE(DecodeFile(path), TapeStatus::kOk);

  // A full dropout of 20 ms loses bytes: the block shifts and its end is missing.
  tape::TapeSignalOptions drop = o;
  drop.dropoutAtSeconds = 1.5;
  drop.dropoutSeconds = 0.02;
  ASSERT_TRUE(tape_test::WriteDump(path, block, drop, {}));
  EXPECT_NE(DecodeFile(path), TapeStatus::kOk);

  // Truncated halfway through the data.
  tape::TapeSignal signal = tape::EncodeTapeBytes(block, o);
  signal.samples.resize(std::size_t((signal.blockStartSeconds + 1.0) * 44100.0));
  ASSERT_TRUE(tape::WriteFileBytes(path, tape::EncodeWav(signal.samples, {}, {})));
  EXPECT_EQ(DecodeFile(path), TapeStatus::kTruncated);
}

TEST(TapeRoundTrip, FilesThatAreNotUsableRecordingsAreRefused) {
  tape_test::TempFolder folder;
  const std::string path = folder.File("dump.wav");
  const auto block = tape::MakeTapeBlock(tape_test::RandomData(3));
  const tape::TapeSignalOptions o = tape_test::Options(44100.0);

  EXPECT_EQ(DecodeFile(""), TapeStatus::kEmptyPath);
  EXPECT_EQ(DecodeFile(folder.File("absent.wav")), TapeStatus::kCannotOpen);
  ASSERT_TRUE(tape::WriteFileBytes(path, std::vector<std::uint8_t>(100, 'x')));
  EXPECT_EQ(DecodeFile(path), TapeStatus::kNotRiffWave);
  ASSERT_TRUE(tape_test::WriteDump(path, block, o, {WavFormat::kPcm32, 0, 1, false}));
  EXPECT_EQ(DecodeFile(path), TapeStatus::kNoUsableData);
  ASSERT_TRUE(tape_test::WriteDump(path, block, o, {WavFormat::kPcm16, 0, 3, false}));
  EXPECT_EQ(DecodeFile(path), TapeStatus::kTooManyChannels);
  // The dump on the right channel only: the left is silent and decodes to nothing.
  ASSERT_TRUE(tape_test::WriteDump(path, block, o, {WavFormat::kPcm16, 0, 2, false}, true));
  EXPECT_EQ(DecodeFile(path), TapeStatus::kNoHeaderP);
  // The same file with the dump on the left decodes.
  ASSERT_TRUE(tape_test::WriteDump(path, block, o, {WavFormat::kPcm16, 0, 2, false}));
  EXPECT_EQ(DecodeFile(path), TapeStatus::kOk);

  tape::TapeReadSettings bad;
  bad.highPassHz = 30000.0;  // above half of 44100 Hz
  EXPECT_EQ(DecodeFile(path, nullptr, bad), TapeStatus::kBadSettings);
}

TEST(TapeRoundTrip, LowPassAboveNyquistIsSkippedNotFatal) {
  tape_test::TempFolder folder;
  const std::string path = folder.File("dump.wav");
  const tape::TapeData data = tape_test::RandomData(21);
  ASSERT_TRUE(tape_test::WriteDump(path, tape::MakeTapeBlock(data), tape_test::Options(44100.0), {}));
  tape::TapeReadSettings s;
  s.lowPassHz = 30000.0;
  tape::TapeData decoded{};
  ASSERT_EQ(DecodeFile(path, &decoded, s), TapeStatus::kOk);
  EXPECT_EQ(decoded, data);
  s.highPassEnabled = s.lowPassEnabled = false;
  ASSERT_EQ(DecodeFile(path, &decoded, s), TapeStatus::kOk);
  EXPECT_EQ(decoded, data);
}

}  // namespace
