// A growable byte array with a length: writers append, readers take a position and answer
// the next position, or -1 when the bytes are not there. Numbers are little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ChunkBuffer {
 public:
  static constexpr std::size_t kGrowthStep = 4096;

  void Clear() { bytes_.clear(); }
  int Size() const { return static_cast<int>(bytes_.size()); }
  bool Empty() const { return bytes_.empty(); }
  const std::uint8_t* Data() const { return bytes_.data(); }
  std::uint8_t* Data() { return bytes_.data(); }
  // Replaces the contents with count bytes (count <= 0 gives an empty buffer).
  void Assign(const void* data, int count);
  void Resize(int count);

  void PutBytes(const void* data, int count);
  void PutInt32(std::int32_t value);
  void PutDouble(double value);
  // A length-prefixed text: signed 32-bit length, then the bytes, no terminator.
  void PutText(const std::string& text);

  // Each reader answers the position after what it read, or -1 (and leaves `out` as it
  // was) when fewer bytes than needed remain at pos. A negative pos answers -1.
  int GetBytes(void* out, int count, int pos) const;
  int GetInt32(std::int32_t* out, int pos) const;
  int GetDouble(double* out, int pos) const;
  // Reads a length-prefixed text; n <= 0 gives an empty text. At most maxLength bytes are
  // kept (the rest are skipped), so hostile lengths never make a large string.
  int GetText(std::string* out, int pos, std::size_t maxLength = 255) const;
  // Steps over a length-prefixed text without copying it (nothing is allocated).
  int SkipText(int pos) const;

 private:
  void Reserve(std::size_t extra);
  std::vector<std::uint8_t> bytes_;
};

// The header at the start of every chunk handed to the host: "tffp", then a version.
namespace chunk_header {
constexpr std::uint32_t kMagic = 0x70666674;  // "tffp" in memory order
constexpr std::int32_t kVersion = 0x00010000;
void Write(ChunkBuffer& buffer);
// Reads the header at pos: with the magic and a version, *version is set and the answer is
// pos + 8; without the magic, *version = 0 and pos stands; with the magic but no version,
// *version = 0 and the answer is -1.
int Read(const ChunkBuffer& buffer, int pos, std::int32_t* version);
}  // namespace chunk_header
