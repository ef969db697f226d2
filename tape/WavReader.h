// RIFF/WAVE reader for tape-dump recordings: finds the format and the sample data and
// converts frames to doubles.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tape {

enum class WavOpenResult {
  kOk,
  kCannotOpen,    // the file could not be opened for reading
  kNotRiffWave,   // no "RIFF" ... "WAVE" header
  kNoUsableData,  // no accepted "fmt " chunk before a non-empty "data" chunk
};

// One file at a time; not thread-safe. Accepted formats: integer PCM with 8 (unsigned),
// 16 or 24 bits, IEEE float with 32 or 64 bits (either with its plain format tag or in
// the extensible form naming the same sub-format), any channel count above 0 and a
// sample rate above 0. Runs on the user-interface thread; it does file I/O and allocates.
class WavReader {
 public:
  static constexpr int kMaxChannels = 64;

  WavReader() = default;
  ~WavReader() { Close(); }
  WavReader(const WavReader&) = delete;
  WavReader& operator=(const WavReader&) = delete;

  // Walks the chunks; on kOk the file stays open at the first sample frame. On any
  // other answer the file is closed and the format fields are 0.
  WavOpenResult OpenWav(const std::string& path);

  // Reads at most maxFrames frames from the current position into channel0 (and
  // channel1 when given and the file has two or more channels); the vectors are replaced.
  // Samples become doubles in -1..1 (floats pass unchanged; non-finite values become 0).
  // Memory is taken only for frames that the file really holds, whatever the "data"
  // chunk claims. Answers the frames read; a short file simply ends early.
  std::size_t ReadFrames(std::vector<double>& channel0, std::vector<double>* channel1, std::size_t maxFrames);

  void Close();

  int FormatTag() const { return formatTag_; }
  int Channels() const { return channels_; }
  int BitsPerSample() const { return bitsPerSample_; }
  int SampleRate() const { return sampleRate_; }
  // As claimed by the "data" chunk's size field.
  std::uint32_t FrameCount() const { return frameCount_; }
  // The claim limited to the bytes that follow the data position in the file.
  std::uint64_t FramesPresent() const { return framesPresent_; }

 private:
  bool ReadExact(void* bytes, std::size_t count);
  bool Skip(std::uint64_t count);
  void ClearFormat();

  std::FILE* file_ = nullptr;
  std::uint64_t fileSize_ = 0;  // 0 when the size could not be determined
  std::uint64_t position_ = 0;  // bytes from the start of the file
  std::uint64_t dataPosition_ = 0;
  std::uint32_t frameCount_ = 0;
  std::uint64_t framesPresent_ = 0;
  int formatTag_ = 0;
  int channels_ = 0;
  int bitsPerSample_ = 0;
  int sampleRate_ = 0;
};

}  // namespace tape
