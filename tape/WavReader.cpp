// RIFF chunk walk and sample conversion of the tape-dump WAV reader.
#include "tape/WavReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

namespace tape {
namespace {

constexpr int kTagPcm = 1;
constexpr int kTagFloat = 3;
constexpr int kTagExtensible = 0xFFFE;
// The tail of the extensible format's sub-format GUID shared by PCM (1) and float (3):
// xxxxxxxx-0000-0010-8000-00AA00389B71 with the tag in the first two bytes.
constexpr unsigned char kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// Frames converted per fread: large enough that the call overhead vanishes, small
// enough for a stack-free scratch vector of a few hundred kilobytes.
constexpr std::size_t kFramesPerBlock = 16384;

std::uint32_t Le32(const unsigned char* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t Le16(const unsigned char* p) { return std::uint16_t(p[0] | p[1] << 8); }

bool AcceptedFormat(int tag, int bits) {
  return (tag == kTagPcm && (bits == 8 || bits == 16 || bits == 24)) ||
         (tag == kTagFloat && (bits == 32 || bits == 64));
}

double Finite(double x) { return std::isfinite(x) ? x : 0.0; }

// One sample at p in the given format, as a double.
double ConvertSample(const unsigned char* p, int tag, int bits) {
  if (tag == kTagFloat) {
    if (bits == 32) {
      float f;
      std::memcpy(&f, p, 4);  // the file is little-endian, as are all our targets
      return Finite(f);
    }
    double d;
    std::memcpy(&d, p, 8);
    return Finite(d);
  }
  switch (bits) {
    case 8: return p[0] / 128.0 - 1.0;
    case 16: return std::int16_t(Le16(p)) / 32768.0;
    default: {
      // 24-bit: sign-extend from bit 23.
      std::int32_t v = std::int32_t(p[0] | p[1] << 8 | p[2] << 16);
      if (v & 0x800000) v -= 0x1000000;
      return v / 8388608.0;
    }
  }
}

}  // namespace

void WavReader::ClearFormat() {
  formatTag_ = channels_ = bitsPerSample_ = sampleRate_ = 0;
  frameCount_ = 0;
  framesPresent_ = 0;
}

void WavReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool WavReader::ReadExact(void* bytes, std::size_t count) {
  const std::size_t got = std::fread(bytes, 1, count, file_);
  position_ += got;
  return got == count;
}

bool WavReader::Skip(std::uint64_t count) {
  // fseek takes a long, which is 32 bits on Windows: step in pieces of 1 GiB.
  while (count > 0) {
    const std::uint64_t step = std::min<std::uint64_t>(count, 1u << 30);
    if (std::fseek(file_, long(step), SEEK_CUR) != 0) return false;
    position_ += step;
    count -= step;
  }
  return true;
}

WavOpenResult WavReader::OpenWav(const std::string& path) {
  Close();
  ClearFormat();
  position_ = dataPosition_ = 0;
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return WavOpenResult::kCannotOpen;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  fileSize_ = error ? 0 : std::uint64_t(size);

  unsigned char header[12];
  if (!ReadExact(header, 12) || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
    Close();
    return WavOpenResult::kNotRiffWave;
  }

  bool formatKnown = false;
  unsigned char chunk[8];
  while (ReadExact(chunk, 8)) {
    const std::uint32_t chunkSize = Le32(chunk + 4);
    std::uint64_t skip = chunkSize;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && chunkSize >= 16) {
      unsigned char fmt[16];
      if (!ReadExact(fmt, 16)) break;
      int tag = Le16(fmt);
      const int channels = Le16(fmt + 2);
      const std::uint32_t rate = Le32(fmt + 4);
      const int bits = Le16(fmt + 14);
      skip = chunkSize - 16;
      // Recorders write 24-bit and float files in the extensible form: it counts as the
      // plain tag its sub-format names.
      if (tag == kTagExtensible && chunkSize >= 40) {
        unsigned char extension[24];
        if (!ReadExact(extension, 24)) break;
        skip -= 24;
        tag = std::memcmp(extension + 10, kSubFormatTail, 14) == 0 ? Le16(extension + 8) : 0;
      }
      // A later "fmt " replaces an earlier one; an unaccepted one forgets the format.
      formatKnown = AcceptedFormat(tag, bits) && channels > 0 && rate > 0 &&
                    rate <= std::uint32_t(std::numeric_limits<int>::max());
      if (formatKnown) {
        formatTag_ = tag;
        channels_ = channels;
        bitsPerSample_ = bits;
        sampleRate_ = int(rate);
      } else {
        ClearFormat();
      }
    } else if (std::memcmp(chunk, "data", 4) == 0 && chunkSize != 0 && formatKnown) {
      const std::uint32_t frameBytes = std::uint32_t(channels_) * std::uint32_t(bitsPerSample_ / 8);
      frameCount_ = chunkSize / frameBytes;
      dataPosition_ = position_;
      framesPresent_ = frameCount_;
      if (fileSize_ > 0) {
        const std::uint64_t remaining = fileSize_ > position_ ? fileSize_ - position_ : 0;
        framesPresent_ = std::min<std::uint64_t>(framesPresent_, remaining / frameBytes);
      }
      return WavOpenResult::kOk;
    }
    if (chunkSize & 1u) ++skip;  // chunks are padded to an even size
    if (!Skip(skip)) break;
  }
  Close();
  ClearFormat();
  return WavOpenResult::kNoUsableData;
}

std::size_t WavReader::ReadFrames(std::vector<double>& channel0, std::vector<double>* channel1, std::size_t maxFrames) {
  channel0.clear();
  if (channel1 != nullptr) channel1->clear();
  if (file_ == nullptr || channels_ <= 0 || channels_ > kMaxChannels) return 0;
  const bool second = channel1 != nullptr && channels_ >= 2;
  const std::size_t bytesPerSample = std::size_t(bitsPerSample_ / 8);
  const std::size_t frameBytes = bytesPerSample * std::size_t(channels_);
  // Reserve only what the file can hold: a header that claims gigabytes of a short
  // file costs nothing.
  const std::size_t wanted = std::size_t(std::min<std::uint64_t>(framesPresent_, maxFrames));
  // Without a known file size the claim is not trusted beyond a million frames.
  const std::size_t reserve = fileSize_ > 0 ? wanted : std::min<std::size_t>(wanted, 1u << 20);
  channel0.reserve(reserve);
  if (second) channel1->reserve(reserve);

  std::vector<unsigned char> block(kFramesPerBlock * frameBytes);
  std::size_t total = 0;
  while (total < wanted) {
    const std::size_t frames = std::min(kFramesPerBlock, wanted - total);
    const std::size_t got = std::fread(block.data(), frameBytes, frames, file_);
    position_ += got * frameBytes;
    const unsigned char* p = block.data();
    for (std::size_t f = 0; f < got; ++f, p += frameBytes) {
      channel0.push_back(ConvertSample(p, formatTag_, bitsPerSample_));
      if (second) channel1->push_back(ConvertSample(p + bytesPerSample, formatTag_, bitsPerSample_));
    }
    total += got;
    if (got < frames) break;  // the file ended before the claimed count
  }
  return total;
}

}  // namespace tape
