// Half-wave rendering with speed variation, band limit, dropout, noise and offset.
#include "tape/TapeEncoder.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "engine/dsp/Filter.h"

namespace tape {

std::vector<std::uint8_t> MakeTapeBlock(const TapeData& data) {
  std::vector<std::uint8_t> block{0x50, 0x36};
  std::uint8_t sum = 0;
  for (std::uint8_t b : data) {
    block.push_back(b);
    sum = std::uint8_t(sum + b);
  }
  block.push_back(sum);
  return block;
}

std::vector<std::uint8_t> FrameBits(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> bits;
  bits.reserve(bytes.size() * 11);
  for (std::uint8_t b : bytes) {
    bits.push_back(0);
    for (int k = 0; k < 8; ++k) bits.push_back(std::uint8_t((b >> k) & 1));
    bits.push_back(1);
    bits.push_back(1);
  }
  return bits;
}

namespace {

// Adds a half-wave of sign `sign` spanning [a, b) seconds to the samples, each sample
// weighted by the part of its cell [n - 1/2, n + 1/2) / fs the half-wave covers: a
// box-filtered square wave whose edges fall between samples.
void AddHalfWave(std::vector<double>& out, double a, double b, double sign, double fs) {
  const double ca = a * fs + 0.5;
  const double cb = b * fs + 0.5;
  const std::size_t first = std::size_t(ca);
  const std::size_t last = std::min(out.size() - 1, std::size_t(cb));
  for (std::size_t n = first; n <= last && n < out.size(); ++n) {
    const double lo = std::max(ca, double(n));
    const double hi = std::min(cb, double(n + 1));
    if (hi > lo) out[n] += sign * (hi - lo);
  }
}

}  // namespace

TapeSignal EncodeTapeBytes(std::span<const std::uint8_t> bytes, const TapeSignalOptions& o) {
  std::mt19937 random(o.seed);
  const double fs = o.sampleRate;

  // Half-wave widths as recorded (tape time), and where the block begins and ends.
  std::vector<double> widths;
  std::uniform_real_distribution<double> garbageWidth(0.25e-3, 0.75e-3);
  for (double t = 0.0; t < o.garbageSeconds;) {
    widths.push_back(garbageWidth(random));
    t += widths.back();
  }
  for (double t = 0.0; t < o.leaderSeconds; t += kShortHalfWaveSeconds) widths.push_back(kShortHalfWaveSeconds);
  const std::size_t blockFirst = widths.size();
  for (std::uint8_t bit : FrameBits(bytes)) widths.push_back(bit ? kShortHalfWaveSeconds : kLongHalfWaveSeconds);
  const std::size_t blockLast = widths.size();
  for (double t = 0.0; t < o.trailerSeconds; t += kShortHalfWaveSeconds) widths.push_back(kShortHalfWaveSeconds);

  // Playback time: each half-wave lasts its width divided by the speed at its start.
  std::vector<double> edges{o.leadInSeconds};
  edges.reserve(widths.size() + 1);
  const double twoPi = 2.0 * std::numbers::pi;
  for (double w : widths) {
    const double t = edges.back();
    const double speed = std::max(1e-3, o.speed * (1.0 + o.wowDepth * std::sin(twoPi * o.wowHz * t)));
    edges.push_back(t + w / speed);
  }
  TapeSignal signal;
  signal.blockStartSeconds = edges[blockFirst];
  signal.blockEndSeconds = edges[blockLast];

  const double total = edges.back() + o.tailSeconds;
  std::vector<double>& x = signal.samples;
  x.assign(std::size_t(std::ceil(total * fs)) + 1, 0.0);
  for (std::size_t k = 0; k < widths.size(); ++k) {
    AddHalfWave(x, edges[k], edges[k + 1], (k & 1) ? -1.0 : 1.0, fs);
  }

  if (o.bandwidthHz > 0.0 && o.bandwidthHz < 0.45 * fs) {
    engine::LowPass band;
    band.Set(fs, o.bandwidthHz);
    for (double& v : x) v = band.Process(v);
  }

  // Tone level with the dropout's gain (0.1 ms ramps at both ends), then noise and offset.
  const double dropStart = signal.blockStartSeconds + o.dropoutAtSeconds;
  const double dropEnd = dropStart + o.dropoutSeconds;
  const double ramp = 0.1e-3;
  std::normal_distribution<double> gauss(0.0, 1.0);
  const double leadInEnd = o.leadInSeconds;
  for (std::size_t n = 0; n < x.size(); ++n) {
    const double t = double(n) / fs;
    double gain = o.level;
    if (o.dropoutSeconds > 0.0 && t > dropStart - ramp && t < dropEnd + ramp) {
      const double into = std::clamp(std::min(t - (dropStart - ramp), dropEnd + ramp - t) / ramp, 0.0, 1.0);
      gain *= 1.0 + (o.dropoutGain - 1.0) * into;
    }
    double v = x[n] * gain + o.dcOffset;
    if (o.noiseRms > 0.0) v += o.noiseRms * gauss(random);
    if (o.leadInNoiseRms > 0.0 && t < leadInEnd) v += o.leadInNoiseRms * gauss(random);
    x[n] = v;
  }
  return signal;
}

TapeSignal EncodeTapeDump(const TapeData& data, const TapeSignalOptions& options) {
  const std::vector<std::uint8_t> block = MakeTapeBlock(data);
  return EncodeTapeBytes(block, options);
}

}  // namespace tape
