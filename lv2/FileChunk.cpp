// FXP/FXB headers around a chunk.
#include "lv2/FileChunk.h"

#include "core/FxFormat.h"
#include "lv2/StateChunks.h"

namespace lv2 {

bool FindFileChunk(const ChunkBuffer& file, std::int32_t uniqueId, FileChunk* out, const char** why) {
  std::uint32_t id = 0;
  if (!fx::HasCode(file, fx::kMagicAt, fx::kChunkMagic)) {
    *why = "not an FXP or FXB file";
    return false;
  }
  if (!fx::GetWord(file, fx::kPluginIdAt, &id) || id != static_cast<std::uint32_t>(uniqueId)) {
    *why = "the file belongs to another plug-in";
    return false;
  }
  const bool bank = fx::HasCode(file, fx::kKindAt, fx::kBankChunkKind);
  if (!bank && !fx::HasCode(file, fx::kKindAt, fx::kProgramChunkKind)) {
    *why = "not a program or bank file in chunk form";
    return false;
  }
  const int sizeAt = bank ? fx::kBankChunkSizeAt : fx::kProgramChunkSizeAt;
  const int at = bank ? fx::kBankChunkAt : fx::kProgramChunkAt;
  std::uint32_t size = 0;
  if (!fx::GetWord(file, sizeAt, &size) || file.Size() < at || size > static_cast<std::uint32_t>(file.Size() - at)) {
    *why = "the file is cut short";
    return false;
  }
  const std::uint8_t* chunk = file.Data() + at;
  if (!(bank ? IsWholeBankChunk(chunk, size) : IsWholeProgramChunk(chunk, size))) {
    *why = bank ? "the bank in the file cannot be read" : "the program in the file cannot be read";
    return false;
  }
  *out = FileChunk{bank, at, static_cast<int>(size)};
  return true;
}

}  // namespace lv2
