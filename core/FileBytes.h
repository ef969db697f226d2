// Whole-file reads and writes with the C run time, for program and bank files.
#pragma once

#include <cstddef>
#include <string>

#include "core/ChunkBuffer.h"

// Program and bank files are a few hundred kilobytes at most; anything far larger is not
// one of ours and is refused before it is read into memory.
constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

// Reads the whole file at path into bytes (replacing its contents). False, with bytes
// empty, for an empty path, a file that cannot be opened or read, or one larger than
// maxBytes. Any thread; blocks on the file system, so never call it on the audio thread.
bool ReadWholeFile(const std::string& path, ChunkBuffer& bytes, std::size_t maxBytes = kMaxFileBytes);

// Creates or truncates the file at path and writes bytes in one piece. False for an empty
// path or when the file cannot be created, written or closed.
bool WriteWholeFile(const std::string& path, const ChunkBuffer& bytes);
