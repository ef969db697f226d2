// Whole-file reads and writes through stdio.
#include "core/FileBytes.h"

#include <cstdio>

bool ReadWholeFile(const std::string& path, ChunkBuffer& bytes, std::size_t maxBytes) {
  bytes.Clear();
  if (path.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  // Read in pieces until the end rather than trusting a size query: the limit is checked
  // against what actually arrives, and folders or devices fail cleanly.
  constexpr int kPiece = 64 * 1024;
  bool ok = true;
  for (;;) {
    const int used = bytes.Size();
    if (static_cast<std::size_t>(used) > maxBytes) {
      ok = false;
      break;
    }
    bytes.Resize(used + kPiece);
    const std::size_t got = std::fread(bytes.Data() + used, 1, kPiece, file);
    bytes.Resize(used + static_cast<int>(got));
    if (got < static_cast<std::size_t>(kPiece)) {
      ok = std::ferror(file) == 0 && static_cast<std::size_t>(bytes.Size()) <= maxBytes;
      break;
    }
  }
  std::fclose(file);
  if (!ok) bytes.Clear();
  return ok;
}

bool WriteWholeFile(const std::string& path, const ChunkBuffer& bytes) {
  if (path.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const std::size_t size = static_cast<std::size_t>(bytes.Size());
  const bool written = size == 0 || std::fwrite(bytes.Data(), 1, size, file) == size;
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}
