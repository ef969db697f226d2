// Test-signal generator for the tape decoder: renders what the hardware would put on
// tape for a block of bytes, with the impairments of a played-back cassette.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tape/TapeProgramMapper.h"

namespace tape {

// Half-wave widths on tape: a 1 is half a period of 1500 Hz, a 0 half a period of
// 750 Hz; the decoder's limit of 0.5 ms lies between them.
constexpr double kShortHalfWaveSeconds = 1.0 / 3000.0;
constexpr double kLongHalfWaveSeconds = 1.0 / 1500.0;

struct TapeSignalOptions {
  double sampleRate = 44100.0;
  double level = 0.5;             // peak of the tone, full scale = 1
  double dcOffset = 0.0;          // added to every sample
  double noiseRms = 0.0;          // white Gaussian noise over the whole recording
  double leadInSeconds = 0.1;     // silence before the tone (noise still added)
  double leadInNoiseRms = 0.0;    // extra noise burst during the lead-in
  double garbageSeconds = 0.0;    // random half-waves between lead-in and leader
  double leaderSeconds = 1.0;     // 1 bits ahead of the "P" frame
  double trailerSeconds = 0.1;    // 1 bits after the checksum
  double tailSeconds = 0.1;       // silence at the end
  double bandwidthHz = 8000.0;    // tape's upper band limit, 2nd order; 0: none
  double speed = 1.0;             // playback speed: 1.02 plays 2 % fast
  double wowDepth = 0.0;          // relative speed swing, 0.01 = +-1 %
  double wowHz = 1.0;             // rate of the swing
  double dropoutAtSeconds = 0.0;  // start, measured from the start of the "P" frame
  double dropoutSeconds = 0.0;    // length; 0: no dropout
  double dropoutGain = 0.0;       // tone level inside the dropout (0: gone)
  std::uint32_t seed = 1;         // for noise and garbage
};

struct TapeSignal {
  std::vector<double> samples;
  double blockStartSeconds = 0.0;  // where the "P" frame starts
  double blockEndSeconds = 0.0;    // where the checksum frame ends
};

// "P", "6", the 512 data bytes and their 8-bit sum.
std::vector<std::uint8_t> MakeTapeBlock(const TapeData& data);

// The 11 bits per byte (start 0, data least significant first, two stop bits 1).
std::vector<std::uint8_t> FrameBits(std::span<const std::uint8_t> bytes);

// Renders an arbitrary byte sequence as framed half-waves (tests use it for damaged
// blocks); EncodeTapeDump renders a well-formed block of 512 data bytes.
TapeSignal EncodeTapeBytes(std::span<const std::uint8_t> bytes, const TapeSignalOptions& options);
TapeSignal EncodeTapeDump(const TapeData& data, const TapeSignalOptions& options);

}  // namespace tape
