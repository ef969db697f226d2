// Walking a bank or program chunk without applying it.
#include "lv2/StateChunks.h"

#include <cstring>

#include "core/ChunkBuffer.h"
#include "core/StateBody.h"
#include "engine/Tesvar.h"

namespace lv2 {

namespace {

constexpr int kBankPrograms = 64;

// The position after the header, or -1 when it is missing or older than a bank's.
int AfterHeader(const ChunkBuffer& buffer) {
  std::int32_t version = 0;
  const int pos = chunk_header::Read(buffer, 0, &version);
  return pos == 8 && version >= chunk_header::kVersion ? pos : -1;
}

// The position after a whole state body of this product at pos, or -1.
int AfterBody(const ChunkBuffer& buffer, int pos) {
  const BodyFormat format = Tesvar::StateFormat();
  char tag[kStateTagLength];
  if (buffer.GetBytes(tag, kStateTagLength, pos) < 0 || std::memcmp(tag, format.tag.data(), kStateTagLength) != 0) {
    return -1;
  }
  return SkipStateBody(buffer, pos, format.paramCount);
}

bool Fill(ChunkBuffer& buffer, const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size < 8 || size > kMaxChunkBytes) return false;
  buffer.Assign(bytes, static_cast<int>(size));
  return true;
}

}  // namespace

bool IsWholeBankChunk(const std::uint8_t* bytes, std::size_t size) {
  ChunkBuffer buffer;
  if (!Fill(buffer, bytes, size)) return false;
  int pos = AfterHeader(buffer);
  for (int i = 0; i < kBankPrograms && pos >= 0; ++i) {
    pos = buffer.SkipText(pos);
    std::uint8_t flag = 0;
    if (pos >= 0) pos = buffer.GetBytes(&flag, 1, pos);
    if (pos >= 0 && flag != 0) pos = AfterBody(buffer, pos);
  }
  return pos == buffer.Size();
}

bool IsWholeProgramChunk(const std::uint8_t* bytes, std::size_t size) {
  ChunkBuffer buffer;
  if (!Fill(buffer, bytes, size)) return false;
  std::int32_t version = 0;
  int pos = chunk_header::Read(buffer, 0, &version);
  if (pos != 8) return false;
  pos = AfterBody(buffer, pos);
  if (pos >= 0) pos = buffer.SkipText(pos);
  return pos == buffer.Size();
}

}  // namespace lv2
