// A strict reader of chunk-form FXB images for the tests: it follows the layout field by
// field and reports the first thing that does not fit, so a layout fault names its offset.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace resources::test {

struct FxbSlot {
  std::string name;  // slot name before the flag byte
  std::uint8_t flag = 0;
  std::size_t bodySize = 0;  // bytes of the state body
  std::string tag;
  std::int32_t index = -1;  // program index inside the body
  std::string bodyName;
  std::vector<double> values;
  std::vector<std::int32_t> chord;
};

struct FxbImage {
  std::string magic, kind, pluginId, chunkMagic;
  std::uint32_t byteSize = 0, formatVersion = 0, pluginVersion = 0, programCount = 0, currentProgram = 0, chunkSize = 0,
                chunkVersion = 0;
  bool reservedZero = false;
  std::vector<FxbSlot> slots;
};

class FxbReader {
 public:
  explicit FxbReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Answers false with error() set at the first field that is missing or malformed.
  bool Read(FxbImage& image) {
    if (!Chars(image.magic, 4) || !Big(image.byteSize) || !Chars(image.kind, 4) || !Big(image.formatVersion) ||
        !Chars(image.pluginId, 4) || !Big(image.pluginVersion) || !Big(image.programCount) ||
        !Big(image.currentProgram)) {
      return Fail("header");
    }
    if (pos_ + 124 > bytes_.size()) return Fail("reserved bytes");
    image.reservedZero = true;
    for (std::size_t i = 0; i < 124; ++i) image.reservedZero &= bytes_[pos_ + i] == 0;
    pos_ += 124;
    if (!Big(image.chunkSize) || !Chars(image.chunkMagic, 4) || !Little(image.chunkVersion)) {
      return Fail("chunk header");
    }
    while (pos_ < bytes_.size()) {
      FxbSlot slot;
      if (!Text(slot.name) || !Byte(slot.flag)) return Fail("slot name or flag");
      const std::size_t bodyStart = pos_;
      std::uint32_t count = 0;
      if (!Chars(slot.tag, 12) || !Little(slot.index) || !Text(slot.bodyName)) {
        return Fail("body header");
      }
      for (int i = 0; i < 51; ++i) {
        std::uint64_t bits = 0;
        if (!Little(bits)) return Fail("parameter values");
        double v = 0.0;
        std::memcpy(&v, &bits, sizeof v);
        slot.values.push_back(v);
      }
      if (!Little(count) || count > 63) return Fail("chord count");
      for (std::uint32_t i = 0; i < count; ++i) {
        std::int32_t offset = 0;
        if (!Little(offset)) return Fail("chord entries");
        slot.chord.push_back(offset);
      }
      slot.bodySize = pos_ - bodyStart;
      image.slots.push_back(std::move(slot));
    }
    return true;
  }

  const std::string& error() const { return error_; }

 private:
  bool Fail(const char* what) {
    error_ = std::string(what) + " at offset " + std::to_string(pos_);
    return false;
  }
  bool Chars(std::string& out, std::size_t n) {
    if (pos_ + n > bytes_.size()) return false;
    out.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
    pos_ += n;
    return true;
  }
  bool Byte(std::uint8_t& out) {
    if (pos_ >= bytes_.size()) return false;
    out = bytes_[pos_++];
    return true;
  }
  bool Big(std::uint32_t& out) {
    if (pos_ + 4 > bytes_.size()) return false;
    out = 0;
    for (int i = 0; i < 4; ++i) out = (out << 8) | bytes_[pos_++];
    return true;
  }
  template <typename T>
  bool Little(T& out) {
    if (pos_ + sizeof(T) > bytes_.size()) return false;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t(bytes_[pos_++]) << (8 * i);
    out = static_cast<T>(v);
    return true;
  }
  bool Text(std::string& out) {
    std::int32_t n = 0;
    if (!Little(n) || n < 0) return false;
    return Chars(out, std::size_t(n));
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  std::string error_;
};

}  // namespace resources::test
