// Little-endian serialisation of the plug-in's state.
#include "core/ChunkBuffer.h"

#include <algorithm>
#include <cstring>

namespace {
// The state formats are little-endian; so are all the targets, and these helpers keep that
// assumption in one place.
void StoreLE(std::uint8_t* out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint64_t LoadLE(const std::uint8_t* in, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
  return value;
}
}  // namespace

void ChunkBuffer::Reserve(std::size_t extra) {
  const std::size_t needed = bytes_.size() + extra;
  if (needed > bytes_.capacity()) {
    bytes_.reserve((needed + kGrowthStep - 1) / kGrowthStep * kGrowthStep);
  }
}

void ChunkBuffer::Assign(const void* data, int count) {
  bytes_.clear();
  if (count > 0 && data != nullptr) PutBytes(data, count);
}

void ChunkBuffer::Resize(int count) { bytes_.resize(count > 0 ? static_cast<std::size_t>(count) : 0); }

void ChunkBuffer::PutBytes(const void* data, int count) {
  if (count <= 0) return;
  Reserve(static_cast<std::size_t>(count));
  const auto* p = static_cast<const std::uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + count);
}

void ChunkBuffer::PutInt32(std::int32_t value) {
  std::uint8_t raw[4];
  StoreLE(raw, static_cast<std::uint32_t>(value), 4);
  PutBytes(raw, 4);
}

void ChunkBuffer::PutDouble(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  std::uint8_t raw[8];
  StoreLE(raw, bits, 8);
  PutBytes(raw, 8);
}

void ChunkBuffer::PutText(const std::string& text) {
  PutInt32(static_cast<std::int32_t>(text.size()));
  PutBytes(text.data(), static_cast<int>(text.size()));
}

int ChunkBuffer::GetBytes(void* out, int count, int pos) const {
  if (pos < 0 || count < 0 || static_cast<std::size_t>(pos) + static_cast<std::size_t>(count) > bytes_.size()) {
    return -1;
  }
  if (count > 0) std::memcpy(out, bytes_.data() + pos, static_cast<std::size_t>(count));
  return pos + count;
}

int ChunkBuffer::GetInt32(std::int32_t* out, int pos) const {
  std::uint8_t raw[4];
  const int next = GetBytes(raw, 4, pos);
  if (next >= 0) *out = static_cast<std::int32_t>(static_cast<std::uint32_t>(LoadLE(raw, 4)));
  return next;
}

int ChunkBuffer::GetDouble(double* out, int pos) const {
  std::uint8_t raw[8];
  const int next = GetBytes(raw, 8, pos);
  if (next >= 0) {
    const std::uint64_t bits = LoadLE(raw, 8);
    std::memcpy(out, &bits, 8);
  }
  return next;
}

int ChunkBuffer::GetText(std::string* out, int pos, std::size_t maxLength) const {
  std::int32_t length = 0;
  const int start = GetInt32(&length, pos);
  if (start < 0) return -1;
  if (length <= 0) {
    out->clear();
    return start;
  }
  if (static_cast<std::size_t>(start) + static_cast<std::size_t>(length) > bytes_.size()) return -1;
  const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(length), maxLength);
  out->assign(reinterpret_cast<const char*>(bytes_.data() + start), kept);
  return start + length;
}

int ChunkBuffer::SkipText(int pos) const {
  std::int32_t length = 0;
  const int start = GetInt32(&length, pos);
  if (start < 0 || length <= 0) return start;
  if (static_cast<std::size_t>(start) + static_cast<std::size_t>(length) > bytes_.size()) return -1;
  return start + length;
}

namespace chunk_header {

void Write(ChunkBuffer& buffer) {
  buffer.PutInt32(static_cast<std::int32_t>(kMagic));
  buffer.PutInt32(kVersion);
}

int Read(const ChunkBuffer& buffer, int pos, std::int32_t* version) {
  *version = 0;
  std::int32_t magic = 0;
  const int afterMagic = buffer.GetInt32(&magic, pos);
  if (afterMagic < 0 || static_cast<std::uint32_t>(magic) != kMagic) return pos;
  std::int32_t found = 0;
  const int next = buffer.GetInt32(&found, afterMagic);
  if (next < 0) return -1;
  *version = found;
  return next;
}

}  // namespace chunk_header
