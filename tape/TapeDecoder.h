// The tape-dump decoder: WAV file or sample buffer in, the 512 hardware data bytes out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tape/TapeProgramMapper.h"
#include "tape/TapeReadSettings.h"

namespace tape {

// Every way an import can fail, distinct so that tests and tools can tell them apart;
// the user only ever sees one message for all of them.
enum class TapeStatus {
  kOk,
  kEmptyPath,
  kCannotOpen,
  kNotRiffWave,
  kNoUsableData,     // no accepted format before a non-empty "data" chunk
  kTooManyChannels,  // only mono and stereo recordings are decoded
  kNoFrames,
  kTooLong,  // more than kMaxTapeFrames frames
  kOutOfMemory,
  kBadSettings,
  kNoHeaderP,
  kNoHeader6,
  kTruncated,
  kNoChecksum,
  kBadChecksum,
  kTargetMismatch,  // the plug-in has fewer than 64 programs or 51 parameters
};

// A dump lasts seconds; this is over 45 minutes at 48 kHz and keeps the sample buffer
// (8 bytes per frame) at 1 GiB at most and every sample index within 32 bits.
constexpr std::size_t kMaxTapeFrames = std::size_t(1) << 27;

// A short English description of a status ("no \"6\" header frame after \"P\"", ...).
const char* TapeStatusText(TapeStatus status);

struct TapeDecodeResult {
  TapeStatus status = TapeStatus::kCannotOpen;
  TapeData data{};         // valid only with kOk
  int sampleRate = 0;      // of the file, when it was read
  std::size_t frames = 0;  // frames analysed
  std::size_t events = 0;  // half-waves found
  double threshold = 0.0;  // detection level used
};

// Conditions `samples` in place (they are the left channel of a recording at
// sampleRateHz) and decodes them. Runs on the caller's thread; allocates the event list.
TapeDecodeResult DecodeTapeSignal(std::vector<double>& samples, double sampleRateHz, const TapeReadSettings& settings);

// Reads the whole recording (left channel only), closes the file and decodes it.
TapeDecodeResult DecodeTapeFile(const std::string& path, const TapeReadSettings& settings);

}  // namespace tape
