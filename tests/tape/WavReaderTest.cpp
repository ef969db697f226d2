// The WAV reader: chunk walk, accepted formats, sample conversion and bounded reads.
#include "tape/WavReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "TapeTestSupport.h"
#include "tape/WavWriter.h"

namespace {

using tape::WavOpenResult;
using tape::WavReader;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Tag(Bytes& b, const char* t) { b.insert(b.end(), t, t + 4); }

Bytes RiffHeader() {
  Bytes b;
  Tag(b, "RIFF");
  Put32(b, 0);  // the reader ignores the RIFF size
  Tag(b, "WAVE");
  return b;
}

void Fmt(Bytes& b, int tag, int channels, std::uint32_t rate, int bits, std::uint32_t size = 16) {
  Tag(b, "fmt ");
  Put32(b, size);
  Put16(b, std::uint32_t(tag));
  Put16(b, std::uint32_t(channels));
  Put32(b, rate);
  Put32(b, rate * std::uint32_t(channels * bits / 8));
  Put16(b, std::uint32_t(channels * bits / 8));
  Put16(b, std::uint32_t(bits));
  for (std::uint32_t i = 16; i < size; ++i) b.push_back(0xEE);
}

void Data(Bytes& b, const Bytes& samples, std::uint32_t claimed) {
  Tag(b, "data");
  Put32(b, claimed);
  b.insert(b.end(), samples.begin(), samples.end());
}

struct Opened {
  WavOpenResult result;
  std::vector<double> left, right;
};

Opened OpenBytes(const tape_test::TempFolder& folder, const Bytes& bytes, std::size_t maxFrames = 1u << 20) {
  const std::string path = folder.File("in.wav");
  EXPECT_TRUE(tape::WriteFileBytes(path, bytes));
  WavReader reader;
  Opened o{reader.OpenWav(path), {}, {}};
  if (o.result == WavOpenResult::kOk) reader.ReadFrames(o.left, &o.right, maxFrames);
  return o;
}

TEST(WavReader, ConvertsRawIntegerSamplesByTheirFormulas) {
  tape_test::TempFolder folder;
  {  // 8-bit unsigned: x / 128 - 1
    Bytes b = RiffHeader();
    Fmt(b, 1, 1, 8000, 8);
    Data(b, {0, 128, 255, 64}, 4);
    const Opened o = OpenBytes(folder, b);
    ASSERT_EQ(o.result, WavOpenResult::kOk);
    EXPECT_EQ(o.left, (std::vector<double>{-1.0, 0.0, 127.0 / 128.0, -0.5}));
  }
  {  // 16-bit signed little-endian
    Bytes b = RiffHeader();
    Fmt(b, 1, 1, 8000, 16);
    Data(b, {0x00, 0x80, 0xFF, 0x7F, 0x00, 0x40, 0xFF, 0xFF}, 8);
    const Opened o = OpenBytes(folder, b);
    EXPECT_EQ(o.left, (std::vector<double>{-1.0, 32767.0 / 32768.0, 0.5, -1.0 / 32768.0}));
  }
  {  // 24-bit, bit 23 is the sign
    Bytes b = RiffHeader();
    Fmt(b, 1, 1, 8000, 24);
    Data(b, {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x40}, 12);
    const Opened o = OpenBytes(folder, b);
    EXPECT_EQ(o.left, (std::vector<double>{-1.0, 8388607.0 / 8388608.0, -1.0 / 8388608.0, 0.5}));
  }
}

TEST(WavReader, FloatSamplesPassUnchangedExceptNonFinite) {
  tape_test::TempFolder folder;
  Bytes b = RiffHeader();
  Fmt(b, 3, 1, 48000, 64);
  Bytes samples;
  for (double v : {0.123456789012345, -3.5, std::nan(""), HUGE_VAL}) {
    std::uint8_t raw[8];
    std::memcpy(raw, &v, 8);
    samples.insert(samples.end(), raw, raw + 8);
  }
  Data(b, samples, std::uint32_t(samples.size()));
  const Opened o = OpenBytes(folder, b);
  ASSERT_EQ(o.result, WavOpenResult::kOk);
  EXPECT_EQ(o.left, (std::vector<double>{0.123456789012345, -3.5, 0.0, 0.0}));
}

TEST(WavReader, WriterAndReaderAgreeForEveryFormatAndChannelCount) {
  tape_test::TempFolder folder;
  const std::vector<double> left{-1.0, -0.5, 0.0, 0.25, 0.75};
  const std::vector<double> right{0.5, -0.25, 0.125, -0.75, 0.0};
  struct Case {
    tape::WavFormat format;
    int bits;
    double step;
  };
  for (const Case c : {Case{tape::WavFormat::kPcm8, 8, 1.0 / 128}, Case{tape::WavFormat::kPcm16, 16, 1.0 / 32768},
                       Case{tape::WavFormat::kPcm24, 24, 1.0 / 8388608}, Case{tape::WavFormat::kFloat32, 32, 1e-7},
                       Case{tape::WavFormat::kFloat64, 64, 0.0}}) {
    for (int channels : {1, 2}) {
      SCOPED_TRACE(testing::Message() << "bits " << c.bits << " channels " << channels);
      const Bytes bytes = tape::EncodeWav(left, right, {c.format, 22050, channels, true});
      const std::string path = folder.File("f.wav");
      ASSERT_TRUE(tape::WriteFileBytes(path, bytes));
      WavReader reader;
      ASSERT_EQ(reader.OpenWav(path), WavOpenResult::kOk);
      EXPECT_EQ(reader.BitsPerSample(), c.bits);
      EXPECT_EQ(reader.Channels(), channels);
      EXPECT_EQ(reader.SampleRate(), 22050);
      EXPECT_EQ(reader.FrameCount(), 5u);
      std::vector<double> l, r;
      ASSERT_EQ(reader.ReadFrames(l, &r, 100), 5u);
      for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(l[i], left[i], c.step);
        if (channels == 2) {
          EXPECT_NEAR(r[i], right[i], c.step);
        }
      }
      EXPECT_EQ(r.size(), channels == 2 ? 5u : 0u);
    }
  }
}

TEST(WavReader, WalksChunksSkippingPadBytesAndUnusableOnes) {
  tape_test::TempFolder folder;
  Bytes b = RiffHeader();
  Data(b, {1, 2, 3}, 3);  // "data" before any format: skipped with its pad byte
  b.push_back(0);
  Tag(b, "LIST");  // odd size, padded
  Put32(b, 5);
  b.insert(b.end(), {'a', 'b', 'c', 'd', 'e', 0});
  Tag(b, "fmt ");  // shorter than 16: skipped
  Put32(b, 4);
  b.insert(b.end(), {1, 0, 1, 0});
  Fmt(b, 1, 2, 44100, 16, 18);  // 18 bytes: the extension is skipped
  Data(b, {}, 0);               // empty "data": skipped
  Data(b, {0x00, 0x40, 0x00, 0xC0}, 4);
  const Opened o = OpenBytes(folder, b);
  ASSERT_EQ(o.result, WavOpenResult::kOk);
  EXPECT_EQ(o.left, std::vector<double>{0.5});
  EXPECT_EQ(o.right, std::vector<double>{-0.5});
}

TEST(WavReader, RefusesWhatIsNotAnAcceptedWave) {
  tape_test::TempFolder folder;
  WavReader reader;
  EXPECT_EQ(reader.OpenWav(folder.File("missing.wav")), WavOpenResult::kCannotOpen);

  Bytes notRiff{'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  EXPECT_EQ(OpenBytes(folder, notRiff).result, WavOpenResult::kNotRiffWave);
  Bytes notWave{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '};
  EXPECT_EQ(OpenBytes(folder, notWave).result, WavOpenResult::kNotRiffWave);
  EXPECT_EQ(OpenBytes(folder, Bytes{'R', 'I'}).result, WavOpenResult::kNotRiffWave);

  struct Format {
    int tag, channels;
    std::uint32_t rate;
    int bits;
  };
  // 32-bit integer PCM, 16-bit float, 12-bit PCM, no channels, no sample rate.
  for (const Format f : {Format{1, 1, 44100, 32}, Format{3, 1, 44100, 16}, Format{1, 1, 44100, 12},
                         Format{1, 0, 44100, 16}, Format{1, 1, 0, 16}}) {
    Bytes b = RiffHeader();
    Fmt(b, f.tag, f.channels, f.rate, f.bits);
    Data(b, Bytes(64, 0x11), 64);
    EXPECT_EQ(OpenBytes(folder, b).result, WavOpenResult::kNoUsableData) << f.tag << "/" << f.bits;
  }
  // An accepted format forgotten by a later unaccepted one.
  Bytes b = RiffHeader();
  Fmt(b, 1, 1, 44100, 16);
  Fmt(b, 1, 1, 44100, 32);
  Data(b, Bytes(64, 0x11), 64);
  EXPECT_EQ(OpenBytes(folder, b).result, WavOpenResult::kNoUsableData);
}

// 24-bit and float recorders often write the extensible form (tag 0xFFFE, sub-format
// GUID); it is read as the tag it names, with the same limits on bits.
TEST(WavReader, ExtensibleFormatCountsAsItsSubFormat) {
  tape_test::TempFolder folder;
  auto extensible = [](int subTag, int bits, bool standardGuid) {
    Bytes b = RiffHeader();
    Fmt(b, 0xFFFE, 1, 48000, bits, 40);
    b.resize(b.size() - 24);
    Put16(b, 22);                   // extension size
    Put16(b, std::uint32_t(bits));  // valid bits
    Put32(b, 4);                    // channel mask
    Put16(b, std::uint32_t(subTag));
    const Bytes tail{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    b.insert(b.end(), tail.begin(), tail.end());
    if (!standardGuid) b.back() = 0x72;
    return b;
  };
  Bytes pcm24 = extensible(1, 24, true);
  Data(pcm24, {0x00, 0x00, 0x40}, 3);
  const Opened o = OpenBytes(folder, pcm24);
  ASSERT_EQ(o.result, WavOpenResult::kOk);
  EXPECT_EQ(o.left, std::vector<double>{0.5});
  Bytes float32 = extensible(3, 32, true);
  Data(float32, {0x00, 0x00, 0x80, 0xBE}, 4);  // -0.25f
  EXPECT_EQ(OpenBytes(folder, float32).left, std::vector<double>{-0.25});
  Bytes pcm32 = extensible(1, 32, true);
  Data(pcm32, Bytes(8, 0), 8);
  EXPECT_EQ(OpenBytes(folder, pcm32).result, WavOpenResult::kNoUsableData);
  Bytes foreign = extensible(1, 16, false);
  Data(foreign, Bytes(8, 0), 8);
  EXPECT_EQ(OpenBytes(folder, foreign).result, WavOpenResult::kNoUsableData);
}

// Regression: the frame count came from the "data" size field, so a header claiming
// gigabytes made the reader reserve them before reading the few frames present.
TEST(WavReader, HostileDataSizeCostsOnlyTheFramesPresent) {
  tape_test::TempFolder folder;
  Bytes b = RiffHeader();
  Fmt(b, 1, 1, 8000, 8);
  Data(b, Bytes(1000, 200), 0xFFFFFFF0u);
  const std::string path = folder.File("hostile.wav");
  ASSERT_TRUE(tape::WriteFileBytes(path, b));
  WavReader reader;
  ASSERT_EQ(reader.OpenWav(path), WavOpenResult::kOk);
  EXPECT_EQ(reader.FrameCount(), 0xFFFFFFF0u);
  EXPECT_EQ(reader.FramesPresent(), 1000u);
  std::vector<double> left;
  EXPECT_EQ(reader.ReadFrames(left, nullptr, std::numeric_limits<std::size_t>::max()), 1000u);
  EXPECT_LE(left.capacity(), 1000u);
  EXPECT_DOUBLE_EQ(left.back(), 200.0 / 128.0 - 1.0);
}

TEST(WavReader, ShortFileEndsReadingAtTheLastWholeFrame) {
  tape_test::TempFolder folder;
  Bytes b = RiffHeader();
  Fmt(b, 1, 2, 8000, 16);
  Data(b, Bytes(4 * 7 + 3, 0), 4 * 100);  // 7 whole stereo frames and a piece
  const Opened o = OpenBytes(folder, b);
  ASSERT_EQ(o.result, WavOpenResult::kOk);
  EXPECT_EQ(o.left.size(), 7u);
  EXPECT_EQ(o.right.size(), 7u);
  // maxFrames limits the read as well.
  EXPECT_EQ(OpenBytes(folder, b, 3).left.size(), 3u);
}

}  // namespace
