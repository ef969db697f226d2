// How much noise, offset, speed error, wow and dropout the default settings (high-pass
// 330 Hz, low-pass 5000 Hz, threshold 50 %) survive. The sweep prints the limits it
// finds and fails only when a limit falls below a floor that any sound decoder meets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "TapeTestSupport.h"
#include "tape/TapeDecoder.h"

namespace {

using Impair = std::function<void(tape::TapeSignalOptions&, double)>;

// Decodes the dump of data rendered at 44100 Hz with one impairment at `amount`, for
// each of `seeds` noise seeds; true when every one gives the data back.
bool Survives(const tape::TapeData& data, const Impair& impair, double amount, int seeds = 3) {
  for (int seed = 1; seed <= seeds; ++seed) {
    tape::TapeSignalOptions o = tape_test::Options(44100.0);
    o.leaderSeconds = 0.2;
    o.seed = std::uint32_t(seed);
    impair(o, amount);
    tape::TapeSignal signal = tape::EncodeTapeDump(data, o);
    const tape::TapeDecodeResult r = tape::DecodeTapeSignal(signal.samples, o.sampleRate, {});
    if (r.status != tape::TapeStatus::kOk || r.data != data) return false;
  }
  return true;
}

// The last amount of the ascending sweep before the first failure (`from` itself may fail:
// then the answer is NaN).
double LastSurviving(const tape::TapeData& data, const Impair& impair, double from, double to, double step,
                     int seeds = 3) {
  double last = std::nan("");
  for (double a = from; a <= to + 1e-9; a += step) {
    if (!Survives(data, impair, a, seeds)) break;
    last = a;
  }
  return last;
}

class TapeTolerance : public testing::Test {
 protected:
  const tape::TapeData data_ = tape_test::RandomData(2024);
};

TEST_F(TapeTolerance, WhiteNoise) {
  // Noise RMS as a fraction of the tone's peak (0.5).
  const double ratio = LastSurviving(
      data_, [](tape::TapeSignalOptions& o, double r) { o.noiseRms = r * o.level; }, 0.05, 1.0, 0.05);
  std::printf("[tolerance] white noise: decodes up to RMS %.2f x tone peak (SNR %.1f dB)\n", ratio,
              -20.0 * std::log10(ratio));
  EXPECT_GE(ratio, 0.15);
}

TEST_F(TapeTolerance, DcOffset) {
  const double ratio = LastSurviving(
      data_, [](tape::TapeSignalOptions& o, double r) { o.dcOffset = r * o.level; }, 0.0, 100.0, 25.0, 1);
  std::printf(
      "[tolerance] DC offset: decodes with offsets up to at least %.0f x tone peak "
      "(only clipping in the file limits it)\n",
      ratio);
  EXPECT_GE(ratio, 100.0);
}

TEST_F(TapeTolerance, ConstantSpeedError) {
  const Impair speed = [](tape::TapeSignalOptions& o, double s) { o.speed = s; };
  const double fast = LastSurviving(data_, speed, 1.0, 1.6, 0.01, 1);
  const Impair slow = [](tape::TapeSignalOptions& o, double s) { o.speed = 1.0 - s; };
  const double slower = LastSurviving(data_, slow, 0.0, 0.6, 0.01, 1);
  std::printf("[tolerance] speed: decodes from %.0f %% slow to %.0f %% fast\n", slower * 100.0, (fast - 1.0) * 100.0);
  EXPECT_GE(fast, 1.10);
  EXPECT_GE(slower, 0.10);
}

TEST_F(TapeTolerance, Wow) {
  for (double hz : {0.5, 4.0, 12.0}) {
    const double depth = LastSurviving(
        data_,
        [hz](tape::TapeSignalOptions& o, double d) {
          o.wowDepth = d;
          o.wowHz = hz;
        },
        0.0, 0.6, 0.02, 1);
    std::printf("[tolerance] wow at %.1f Hz: decodes up to +-%.0f %% speed swing\n", hz, depth * 100.0);
    EXPECT_GE(depth, 0.10) << hz << " Hz";
  }
}

TEST_F(TapeTolerance, Dropout) {
  // A total dropout: the longest that never costs a byte, tried at 10 places in the data.
  double longest = 0.0;
  for (double ms = 0.1; ms <= 5.0; ms += 0.1) {
    bool all = true;
    for (int place = 0; place < 10 && all; ++place) {
      all = Survives(
          data_,
          [ms, place](tape::TapeSignalOptions& o, double) {
            o.dropoutAtSeconds = 0.05 + 0.25 * place;
            o.dropoutSeconds = ms * 1e-3;
          },
          0.0, 1);
    }
    if (!all) break;
    longest = ms;
  }
  // A partial dropout of 100 ms: the deepest fade that still decodes.
  double deepest = 1.0;
  for (double gain = 0.95; gain > 0.0; gain -= 0.05) {
    if (!Survives(
            data_,
            [gain](tape::TapeSignalOptions& o, double) {
              o.dropoutAtSeconds = 0.8;
              o.dropoutSeconds = 0.1;
              o.dropoutGain = gain;
            },
            0.0, 1)) {
      break;
    }
    deepest = gain;
  }
  std::printf(
      "[tolerance] dropout: total dropouts up to %.1f ms decode; a 100 ms fade decodes down to "
      "%.0f %% of the level (%.1f dB)\n",
      longest, deepest * 100.0, 20.0 * std::log10(deepest));
  EXPECT_GE(deepest, 0.0);
  EXPECT_LE(deepest, 0.7);  // a fade to 70 % must never break the decoder
}

}  // namespace
