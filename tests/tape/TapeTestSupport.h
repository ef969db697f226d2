// Shared helpers of the tape tests: a private temporary folder and generated dumps.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "tape/TapeEncoder.h"
#include "tape/TapeProgramMapper.h"
#include "tape/WavWriter.h"

namespace tape_test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("tesvar-tape-" + std::to_string(seed()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Data bytes of 64 programs whose fields all lie within their parameters' ranges.
inline tape::TapeData InRangeData(std::uint32_t seed) { return tape::RandomInRangeData(seed); }

// Any byte values at all.
inline tape::TapeData RandomData(std::uint32_t seed) {
  std::mt19937 random(seed);
  tape::TapeData data{};
  for (auto& b : data) b = std::uint8_t(random());
  return data;
}

inline tape::TapeSignalOptions Options(double sampleRate) {
  tape::TapeSignalOptions o;
  o.sampleRate = sampleRate;
  return o;
}

// Writes a dump of data as a WAV file; the dump on channel 0 unless onRight.
inline bool WriteDump(const std::string& path, const std::vector<std::uint8_t>& block,
                      const tape::TapeSignalOptions& options, tape::WavLayout layout, bool onRight = false) {
  layout.sampleRate = int(options.sampleRate);
  const tape::TapeSignal signal = tape::EncodeTapeBytes(block, options);
  const std::vector<double> silence(onRight ? signal.samples.size() : 0, 0.0);
  const auto bytes =
      onRight ? tape::EncodeWav(silence, signal.samples, layout) : tape::EncodeWav(signal.samples, silence, layout);
  return tape::WriteFileBytes(path, bytes);
}

}  // namespace tape_test
