// Recordings written by a program we did not write: generated dumps converted with sox.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "TapeTestSupport.h"
#include "tape/TapeDecoder.h"

namespace {

using tape::TapeStatus;

bool SoxAvailable() {
  static const bool available = std::system("sox --version > /dev/null 2>&1") == 0;
  return available;
}

class TapeSox : public testing::Test {
 protected:
  void SetUp() override {
    if (!SoxAvailable()) GTEST_SKIP() << "sox is not installed";
    data_ = tape_test::RandomData(4242);
    source_ = folder_.File("source.wav");
    ASSERT_TRUE(Generate(tape::MakeTapeBlock(data_), source_));
  }

  bool Generate(const std::vector<std::uint8_t>& block, const std::string& path) {
    tape::TapeSignalOptions o = tape_test::Options(44100.0);
    o.leaderSeconds = 0.5;
    return tape_test::WriteDump(path, block, o, {});
  }

  // sox [input] [output options] output [effects]
  bool Sox(const std::string& input, const std::string& outputOptions, const std::string& output,
           const std::string& effects = "") {
    const std::string command = "sox \"" + input + "\" " + outputOptions + " \"" + output + "\" " + effects;
    return std::system(command.c_str()) == 0;
  }

  TapeStatus Decode(const std::string& path, tape::TapeData* data = nullptr) {
    const tape::TapeDecodeResult r = tape::DecodeTapeFile(path, {});
    if (data != nullptr) *data = r.data;
    return r.status;
  }

  void ExpectDecodes(const std::string& path) {
    tape::TapeData decoded{};
    ASSERT_EQ(Decode(path, &decoded), TapeStatus::kOk);
    EXPECT_EQ(decoded, data_);
  }

  tape_test::TempFolder folder_;
  tape::TapeData data_{};
  std::string source_;
};

TEST_F(TapeSox, EveryAcceptedFormat) {
  const std::string out = folder_.File("out.wav");
  // sox writes 24-bit and wider files in the extensible form unless asked for "wavpcm".
  for (const char* options : {"-b 8", "-b 16", "-b 24", "-t wavpcm -b 24", "-e floating-point -b 32",
                              "-e floating-point -b 64", "-t wavpcm -e floating-point -b 32"}) {
    SCOPED_TRACE(options);
    ASSERT_TRUE(Sox(source_, options, out));
    ExpectDecodes(out);
  }
}

TEST_F(TapeSox, StereoWithTheDumpOnTheLeft) {
  const std::string out = folder_.File("out.wav");
  ASSERT_TRUE(Sox(source_, "-c 2", out, "remix 1 0"));
  ExpectDecodes(out);
  ASSERT_TRUE(Sox(source_, "-c 2 -e floating-point -b 32", out, "remix 1 1"));
  ExpectDecodes(out);
}

TEST_F(TapeSox, ResampledRecordings) {
  const std::string out = folder_.File("out.wav");
  for (const char* rate : {"22050", "48000", "96000"}) {
    SCOPED_TRACE(rate);
    ASSERT_TRUE(Sox(source_, std::string("-r ") + rate, out, "rate"));
    ExpectDecodes(out);
  }
}

// A LIST chunk of odd size spliced in front of sox's "data" chunk.
TEST_F(TapeSox, OddListChunkBeforeData) {
  const std::string out = folder_.File("out.wav");
  ASSERT_TRUE(Sox(source_, "-e floating-point -b 32", out));
  std::ifstream in(out, std::ios::binary);
  std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  std::size_t pos = 12;
  while (pos + 8 <= bytes.size() && std::memcmp(&bytes[pos], "data", 4) != 0) {
    const std::uint32_t size =
        bytes[pos + 4] | bytes[pos + 5] << 8 | bytes[pos + 6] << 16 | std::uint32_t(bytes[pos + 7]) << 24;
    pos += 8 + size + (size & 1);
  }
  ASSERT_LT(pos + 8, bytes.size());
  const std::uint8_t list[] = {'L', 'I', 'S', 'T', 7, 0, 0, 0, 'I', 'N', 'F', 'O', 'a', 'b', 'c', 0};
  bytes.insert(bytes.begin() + std::ptrdiff_t(pos), std::begin(list), std::end(list));
  ASSERT_TRUE(tape::WriteFileBytes(out, bytes));
  ExpectDecodes(out);
}

TEST_F(TapeSox, FailureCases) {
  const std::string out = folder_.File("out.wav");
  ASSERT_TRUE(Sox(source_, "-t au", out));  // a Sun/NeXT file under a .wav name
  EXPECT_EQ(Decode(out), TapeStatus::kNotRiffWave);
  ASSERT_TRUE(Sox(source_, "-t wavpcm -e signed-integer -b 32", out));
  EXPECT_EQ(Decode(out), TapeStatus::kNoUsableData);
  ASSERT_TRUE(Sox(source_, "-e signed-integer -b 32", out));  // extensible form
  EXPECT_EQ(Decode(out), TapeStatus::kNoUsableData);
  ASSERT_TRUE(Sox(source_, "-c 3", out, "remix 1 1 1"));
  EXPECT_EQ(Decode(out), TapeStatus::kTooManyChannels);
  ASSERT_TRUE(Sox(source_, "-c 2", out, "remix 0 1"));
  EXPECT_EQ(Decode(out), TapeStatus::kNoHeaderP);
  ASSERT_TRUE(Sox(source_, "", out, "trim 0 2.5"));
  EXPECT_EQ(Decode(out), TapeStatus::kTruncated);

  const std::string damaged = folder_.File("damaged.wav");
  auto block = tape::MakeTapeBlock(data_);
  block.back() = std::uint8_t(block.back() + 1);
  ASSERT_TRUE(Generate(block, damaged));
  ASSERT_TRUE(Sox(damaged, "-r 48000 -b 24", out, "rate"));
  EXPECT_EQ(Decode(out), TapeStatus::kBadChecksum);
  block = tape::MakeTapeBlock(data_);
  block.erase(block.begin() + 1);
  ASSERT_TRUE(Generate(block, damaged));
  ASSERT_TRUE(Sox(damaged, "-r 48000 -b 24", out, "rate"));
  EXPECT_NE(Decode(out), TapeStatus::kOk);
}

}  // namespace
