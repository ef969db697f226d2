// The chunk inside an FXP program or FXB bank file of this plug-in, for the file property:
// files in chunk form only ("FPCh", "FBCh"), as this plug-in and every host of it write
// them. Any non-realtime thread.
#pragma once

#include <cstdint>
#include <string>

#include "core/ChunkBuffer.h"

namespace lv2 {

struct FileChunk {
  bool bank = false;  // an FXB bank chunk, else an FXP program chunk
  int at = 0;         // where the chunk starts in the file's bytes
  int size = 0;       // its length in bytes
};

// Finds the chunk in file bytes. False, with *why set, for another kind of file, another
// plug-in's file (uniqueId), a chunk size that does not fit the file, or a chunk that is not
// whole (see StateChunks.h).
bool FindFileChunk(const ChunkBuffer& file, std::int32_t uniqueId, FileChunk* out, const char** why);

}  // namespace lv2
