// The decoder pipeline: WAV reader -> conditioner -> bit decoder -> framer.
#include "tape/TapeDecoder.h"

#include <algorithm>
#include <new>

#include "tape/BitDecoder.h"
#include "tape/FrameDecoder.h"
#include "tape/SignalConditioner.h"
#include "tape/WavReader.h"

namespace tape {

const char* TapeStatusText(TapeStatus status) {
  switch (status) {
    case TapeStatus::kOk: return "decoded";
    case TapeStatus::kEmptyPath: return "no file name given";
    case TapeStatus::kCannotOpen: return "the file cannot be opened";
    case TapeStatus::kNotRiffWave: return "not a RIFF/WAVE file";
    case TapeStatus::kNoUsableData: return "no sample data in an accepted format";
    case TapeStatus::kTooManyChannels: return "more than two channels";
    case TapeStatus::kNoFrames: return "the recording holds no sample frames";
    case TapeStatus::kTooLong: return "the recording is too long";
    case TapeStatus::kOutOfMemory: return "not enough memory for the recording";
    case TapeStatus::kBadSettings: return "unusable tape-read settings";
    case TapeStatus::kNoHeaderP: return "no \"P\" header frame";
    case TapeStatus::kNoHeader6: return "no \"6\" header frame after \"P\"";
    case TapeStatus::kTruncated: return "the recording ends before 512 data bytes";
    case TapeStatus::kNoChecksum: return "no checksum frame after the data";
    case TapeStatus::kBadChecksum: return "wrong checksum";
    case TapeStatus::kTargetMismatch: return "the plug-in cannot hold 64 programs of 51 parameters";
  }
  return "unknown failure";
}

namespace {

TapeStatus FromFrameResult(FrameResult r) {
  switch (r) {
    case FrameResult::kOk: return TapeStatus::kOk;
    case FrameResult::kNoHeaderP: return TapeStatus::kNoHeaderP;
    case FrameResult::kNoHeader6: return TapeStatus::kNoHeader6;
    case FrameResult::kTruncated: return TapeStatus::kTruncated;
    case FrameResult::kNoChecksum: return TapeStatus::kNoChecksum;
    case FrameResult::kBadChecksum: return TapeStatus::kBadChecksum;
  }
  return TapeStatus::kBadChecksum;
}

}  // namespace

TapeDecodeResult DecodeTapeSignal(std::vector<double>& samples, double sampleRateHz, const TapeReadSettings& settings) {
  TapeDecodeResult result;
  result.sampleRate = int(sampleRateHz);
  result.frames = samples.size();
  if (samples.empty()) {
    result.status = TapeStatus::kNoFrames;
    return result;
  }
  if (samples.size() > kMaxTapeFrames) {
    result.status = TapeStatus::kTooLong;
    return result;
  }
  double threshold = 0.0;
  const ConditionResult conditioned = ConditionSignal(samples, sampleRateHz, settings, threshold);
  if (conditioned != ConditionResult::kOk) {
    result.status = conditioned == ConditionResult::kEmpty ? TapeStatus::kNoFrames : TapeStatus::kBadSettings;
    return result;
  }
  result.threshold = threshold;

  try {
    const std::vector<BitEvent> events = DecodeBits(samples, sampleRateHz, threshold);
    result.events = events.size();
    std::vector<std::uint8_t> block;
    result.status = FromFrameResult(FrameBytes(events, block));
    if (result.status == TapeStatus::kOk) {
      std::copy(block.begin() + 2, block.begin() + 2 + kTapeDataBytes, result.data.begin());
    }
  } catch (const std::bad_alloc&) {
    result.status = TapeStatus::kOutOfMemory;
  }
  return result;
}

TapeDecodeResult DecodeTapeFile(const std::string& path, const TapeReadSettings& settings) {
  TapeDecodeResult result;
  if (path.empty()) {
    result.status = TapeStatus::kEmptyPath;
    return result;
  }
  WavReader reader;
  switch (reader.OpenWav(path)) {
    case WavOpenResult::kOk: break;
    case WavOpenResult::kCannotOpen: result.status = TapeStatus::kCannotOpen; return result;
    case WavOpenResult::kNotRiffWave: result.status = TapeStatus::kNotRiffWave; return result;
    case WavOpenResult::kNoUsableData: result.status = TapeStatus::kNoUsableData; return result;
  }
  result.sampleRate = reader.SampleRate();
  if (reader.Channels() > 2) {
    result.status = TapeStatus::kTooManyChannels;
    return result;
  }
  if (reader.FramesPresent() == 0) {
    result.status = TapeStatus::kNoFrames;
    return result;
  }
  if (reader.FramesPresent() > kMaxTapeFrames) {
    result.status = TapeStatus::kTooLong;
    return result;
  }
  std::vector<double> left;
  try {
    // The right channel of a stereo file is never decoded, so it is not kept.
    reader.ReadFrames(left, nullptr, kMaxTapeFrames);
  } catch (const std::bad_alloc&) {
    result.status = TapeStatus::kOutOfMemory;
    return result;
  }
  reader.Close();
  return DecodeTapeSignal(left, double(result.sampleRate), settings);
}

}  // namespace tape
