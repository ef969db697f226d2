// RIFF/WAVE writer for generated tape dumps and test files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tape {

// kPcm32 (integer PCM with 32 bits) is written for tests: the reader refuses it.
enum class WavFormat { kPcm8, kPcm16, kPcm24, kPcm32, kFloat32, kFloat64 };

struct WavLayout {
  WavFormat format = WavFormat::kPcm16;
  int sampleRate = 44100;
  int channels = 1;           // channel 0 gets `first`, channel 1 `second`, others silence
  bool oddListChunk = false;  // a "LIST" chunk of odd size (with its pad byte) before "data"
};

// The complete file: "RIFF"/"WAVE", "fmt " (16 bytes), optional "LIST", "data".
// Integer samples are rounded half away from zero and limited to the format's range;
// an empty `second` is silence. Channels must be at least 1.
std::vector<std::uint8_t> EncodeWav(std::span<const double> first, std::span<const double> second,
                                    const WavLayout& layout);

// Writes the bytes to path; false when the file cannot be written completely.
bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// "8", "16", "24", "32" (integer PCM) or "f32", "f64" (float); false for anything else.
bool ParseWavFormat(const std::string& text, WavFormat& format);

}  // namespace tape
