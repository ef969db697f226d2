// The decoder's stages one by one: conditioning, half-wave bits, byte framing.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "engine/dsp/Filter.h"
#include "tape/BitDecoder.h"
#include "tape/FrameDecoder.h"
#include "tape/SignalConditioner.h"
#include "tape/TapeEncoder.h"

namespace {

using tape::BitEvent;
using tape::FrameResult;

// A square wave of half-waves of the given widths in samples, starting positive.
std::vector<double> Square(const std::vector<int>& widths, double level = 1.0) {
  std::vector<double> x;
  double sign = level;
  for (int w : widths) {
    x.insert(x.end(), std::size_t(w), sign);
    sign = -sign;
  }
  return x;
}

std::vector<BitEvent> Events(const std::vector<std::uint8_t>& bits) {
  std::vector<BitEvent> e;
  for (std::size_t i = 0; i < bits.size(); ++i) e.push_back(BitEvent{std::int32_t(10 * i), bits[i]});
  return e;
}

TEST(SignalConditioner, RemovesMeanAndSetsThresholdFromMeanAbsoluteDeviation) {
  tape::TapeReadSettings off;
  off.highPassEnabled = off.lowPassEnabled = false;
  off.thresholdPercent = 50.0;
  std::vector<double> x{1.5, 0.5, 1.5, 0.5};  // mean 1, deviation 0.5
  double t = -1.0;
  ASSERT_EQ(tape::ConditionSignal(x, 44100.0, off, t), tape::ConditionResult::kOk);
  EXPECT_EQ(x, (std::vector<double>{0.5, -0.5, 0.5, -0.5}));
  EXPECT_DOUBLE_EQ(t, 0.25);
  off.thresholdPercent = 20.0;
  ASSERT_EQ(tape::ConditionSignal(x, 44100.0, off, t), tape::ConditionResult::kOk);
  EXPECT_DOUBLE_EQ(t, 0.1);
}

TEST(SignalConditioner, RunsLowPassOfHighPassAndSkipsALowPassAboveNyquist) {
  std::vector<double> input(2000);
  for (std::size_t i = 0; i < input.size(); ++i)
    input[i] = std::sin(0.07 * double(i)) + 0.3 * std::sin(2.1 * double(i));
  auto reference = [&](bool hp, bool lp, double lpHz) {
    engine::HighPass h;
    engine::LowPass l;
    h.Set(44100.0, 330.0);
    l.Set(44100.0, lpHz);
    std::vector<double> y = input;
    for (double& v : y) {
      if (hp) v = h.Process(v);
      if (lp) v = l.Process(v);
    }
    const double mean = std::accumulate(y.begin(), y.end(), 0.0) / double(y.size());
    for (double& v : y) v -= mean;
    return y;
  };
  tape::TapeReadSettings s;
  double t = 0.0;
  std::vector<double> both = input;
  ASSERT_EQ(tape::ConditionSignal(both, 44100.0, s, t), tape::ConditionResult::kOk);
  const std::vector<double> expected = reference(true, true, 5000.0);
  for (std::size_t i = 0; i < both.size(); ++i) ASSERT_NEAR(both[i], expected[i], 1e-12) << i;

  // 30000 Hz at 44100 Hz: only the high-pass runs.
  s.lowPassHz = 30000.0;
  std::vector<double> highOnly = input;
  ASSERT_EQ(tape::ConditionSignal(highOnly, 44100.0, s, t), tape::ConditionResult::kOk);
  const std::vector<double> expectedHigh = reference(true, false, 0.0);
  for (std::size_t i = 0; i < highOnly.size(); ++i) ASSERT_NEAR(highOnly[i], expectedHigh[i], 1e-12) << i;
}

TEST(SignalConditioner, RefusesSettingsThatWouldMakeAnUnstableOrUselessFilter) {
  std::vector<double> x(100, 0.1);
  double t = 0.0;
  auto refused = [&](tape::TapeReadSettings s) {
    return tape::ConditionSignal(x, 44100.0, s, t) == tape::ConditionResult::kBadSettings;
  };
  tape::TapeReadSettings s;
  s.highPassHz = 22050.0;  // at Nyquist
  EXPECT_TRUE(refused(s));
  s.highPassEnabled = false;  // the same value is harmless while disabled
  EXPECT_FALSE(refused(s));
  s = {};
  s.lowPassHz = -5.0;
  EXPECT_TRUE(refused(s));
  s = {};
  s.thresholdPercent = std::nan("");
  EXPECT_TRUE(refused(s));
  std::vector<double> none;
  EXPECT_EQ(tape::ConditionSignal(none, 44100.0, {}, t), tape::ConditionResult::kEmpty);
}

TEST(BitDecoder, HalfWaveWidthsAroundHalfAMillisecondAt44100) {
  EXPECT_DOUBLE_EQ(tape::LongShortLimit(44100.0), 22.05);
  // 15-sample half-waves are 1 bits, 29-sample ones 0 bits; 22 is still short, 23 long.
  const std::vector<int> widths{15, 15, 29, 15, 29, 29, 22, 23, 15, 15};
  const std::vector<double> x = Square(widths);
  const std::vector<BitEvent> events = tape::DecodeBits(x, 44100.0, 0.5);
  // The first extreme closes the stretch since sample 0; each later one the half-wave
  // before it. The last half-wave has no extreme after it.
  ASSERT_EQ(events.size(), widths.size());
  const std::vector<std::uint8_t> expected{1, 1, 1, 0, 1, 0, 0, 1, 0, 1};
  std::int32_t edge = 0;
  for (std::size_t k = 0; k < events.size(); ++k) {
    EXPECT_EQ(events[k].bit, expected[k]) << "event " << k;
    EXPECT_EQ(events[k].sampleIndex, edge + 1) << "event " << k;  // one sample after the extreme
    edge += widths[k];
  }
}

TEST(BitDecoder, HysteresisIgnoresWigglesBelowTheThreshold) {
  // Small ripples (0.1) riding on half-waves of 0.8 never count as extremes.
  std::vector<double> x = Square({40, 40, 40, 40}, 0.8);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] += (i % 4 < 2 ? 0.1 : -0.1);
  const std::vector<BitEvent> events = tape::DecodeBits(x, 44100.0, 0.4);
  ASSERT_EQ(events.size(), 4u);
  for (std::size_t k = 1; k < events.size(); ++k) EXPECT_EQ(events[k].bit, 0);
  // Above the signal's peak nothing is found at all.
  EXPECT_TRUE(tape::DecodeBits(x, 44100.0, 0.95).empty());
}

TEST(BitDecoder, FeedingInPiecesGivesTheSameEvents) {
  const std::vector<double> x = Square({15, 29, 15, 15, 29, 29, 15, 29, 15, 15, 29});
  const std::vector<BitEvent> whole = tape::DecodeBits(x, 44100.0, 0.5);
  tape::BitDecoder decoder;
  decoder.Reset(44100.0, 0.5);
  std::vector<BitEvent> pieces;
  for (std::size_t i = 0; i < x.size(); i += 7) {
    decoder.Process(std::span<const double>(x).subspan(i, std::min<std::size_t>(7, x.size() - i)), pieces);
  }
  ASSERT_EQ(pieces.size(), whole.size());
  for (std::size_t k = 0; k < whole.size(); ++k) {
    EXPECT_EQ(pieces[k].sampleIndex, whole[k].sampleIndex);
    EXPECT_EQ(pieces[k].bit, whole[k].bit);
  }
}

std::vector<std::uint8_t> Block(std::uint8_t fill, std::uint8_t checksumDelta = 0) {
  std::vector<std::uint8_t> b{0x50, 0x36};
  std::uint8_t sum = 0;
  for (int i = 0; i < 512; ++i) {
    const std::uint8_t v = std::uint8_t(fill + i * 7);
    b.push_back(v);
    sum = std::uint8_t(sum + v);
  }
  b.push_back(std::uint8_t(sum + checksumDelta));
  return b;
}

std::vector<std::uint8_t> Bits(const std::vector<std::uint8_t>& bytes) { return tape::FrameBits(bytes); }

TEST(FrameBytes, FramesAWholeBlockAfterLeaderAndAChanceHeaderInNoise) {
  std::vector<std::uint8_t> bits(50, 1);                // leader
  for (auto b : Bits({0x50, 0x11})) bits.push_back(b);  // a "P" decoded from noise
  bits.insert(bits.end(), 30, 1);
  const auto block = Block(3);
  for (auto b : Bits(block)) bits.push_back(b);
  bits.insert(bits.end(), 5, 1);
  std::vector<std::uint8_t> out;
  ASSERT_EQ(tape::FrameBytes(Events(bits), out), FrameResult::kOk);
  EXPECT_EQ(out, block);
}

TEST(FrameBytes, ResynchronisesOneHalfWaveLaterAfterAnInvalidFrame) {
  std::vector<std::uint8_t> bits(20, 1);
  const auto block = Block(9);
  const auto framed = Bits(block);
  // Stray half-waves between the 10th and 11th data bytes: a lone 0 with no stop bits
  // after it, then three 1s.
  const std::size_t cut = 11 * 12;
  bits.insert(bits.end(), framed.begin(), framed.begin() + std::ptrdiff_t(cut));
  for (std::uint8_t b : {0, 1, 1, 1}) bits.push_back(b);
  bits.insert(bits.end(), framed.begin() + std::ptrdiff_t(cut), framed.end());
  bits.push_back(1);
  std::vector<std::uint8_t> out;
  ASSERT_EQ(tape::FrameBytes(Events(bits), out), FrameResult::kOk);
  EXPECT_EQ(out, block);
}

TEST(FrameBytes, DistinctFailures) {
  std::vector<std::uint8_t> out;
  const auto block = Block(1);
  auto frame = [&](std::vector<std::uint8_t> bytes, std::size_t trailer = 3) {
    std::vector<std::uint8_t> bits(20, 1);
    for (auto b : Bits(bytes)) bits.push_back(b);
    bits.insert(bits.end(), trailer, 1);
    return tape::FrameBytes(Events(bits), out);
  };
  EXPECT_EQ(frame({0x51, 0x36, 1, 2, 3}), FrameResult::kNoHeaderP);
  EXPECT_EQ(frame({0x50, 0x37, 1, 2, 3}), FrameResult::kNoHeader6);
  EXPECT_EQ(out, std::vector<std::uint8_t>{0x50});
  EXPECT_EQ(frame(std::vector<std::uint8_t>(block.begin(), block.end() - 100)), FrameResult::kTruncated);
  EXPECT_EQ(frame(std::vector<std::uint8_t>(block.begin(), block.end() - 1)), FrameResult::kNoChecksum);
  EXPECT_EQ(out.size(), 514u);
  EXPECT_EQ(frame(Block(1, 1)), FrameResult::kBadChecksum);
  EXPECT_EQ(out.size(), 515u);
  // The last stop bit must be there: a block ending one event early has no checksum.
  std::vector<std::uint8_t> bits(20, 1);
  for (auto b : Bits(block)) bits.push_back(b);
  bits.pop_back();
  EXPECT_EQ(tape::FrameBytes(Events(bits), out), FrameResult::kNoChecksum);
  EXPECT_EQ(tape::FrameBytes({}, out), FrameResult::kNoHeaderP);
}

TEST(FrameBytes, FrameAtNeedsStartBitTwoStopBitsAndElevenEvents) {
  const std::vector<BitEvent> e = Events({0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1});  // 0x85 LSB first: 1,0,1,0,0,0,0,1
  EXPECT_EQ(tape::FrameAt(e, 0), 0x85);
  EXPECT_EQ(tape::FrameAt(e, 1), -1);
  EXPECT_EQ(tape::FrameAt(std::span<const BitEvent>(e).first(10), 0), -1);
  std::vector<BitEvent> noStop = e;
  noStop[9].bit = 0;
  EXPECT_EQ(tape::FrameAt(noStop, 0), -1);
}

}  // namespace
