// FXP and FXB files as written and as accepted.
#include "core/ProgramFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/FileBytes.h"
#include "core/FxFormat.h"
#include "core/IPlugBase.h"

namespace {

// The header words both kinds share; the byte size is patched in when the file is complete.
void PutCommonHeader(ChunkBuffer& file, const IPlugBase& plug, const char* kind, int formatVersion) {
  fx::PutCode(file, fx::kChunkMagic);
  fx::PutWord(file, 0);
  fx::PutCode(file, kind);
  fx::PutWord(file, static_cast<std::uint32_t>(formatVersion));
  fx::PutWord(file, plug.UniqueId());
  fx::PutWord(file, static_cast<std::uint32_t>(plug.DecimalVersion()));
}

// Appends the chunk size, then the chunk header and whatever `body` appends.
template <class Body>
void PutChunk(ChunkBuffer& file, Body body) {
  const int sizeAt = file.Size();
  fx::PutWord(file, 0);
  chunk_header::Write(file);
  body(file);
  fx::SetWord(file, sizeAt, static_cast<std::uint32_t>(file.Size() - sizeAt - 4));
  fx::SetWord(file, fx::kByteSizeAt, static_cast<std::uint32_t>(file.Size() - 8));
}

// Stores one normalised float per parameter, read from pos; values that are not finite,
// and parameters whose bytes are missing, keep what they have.
void ApplyNormalisedFloats(IPlugBase& plug, const ChunkBuffer& bytes, int pos) {
  for (int i = 0; i < plug.ParamCount(); ++i, pos += 4) {
    float value = 0.0f;
    if (!fx::GetFloat(bytes, pos, &value)) break;
    if (std::isfinite(value)) plug.GetParam(i)->SetNormalised(value);
  }
}

}  // namespace

bool SaveProgramFile(IPlugBase& plug, const std::string& path) {
  if (path.empty()) return false;
  ChunkBuffer file;
  {
    platform::Guard guard(plug.Lock());
    PutCommonHeader(file, plug, fx::kProgramChunkKind, fx::kProgramFormatVersion);
    fx::PutWord(file, static_cast<std::uint32_t>(plug.ParamCount()));
    fx::PutName(file, plug.ProgramName(plug.CurrentProgram()));
    PutChunk(file, [&plug](ChunkBuffer& out) { plug.WriteState(out); });
  }
  return WriteWholeFile(path, file);
}

bool SaveBankFile(IPlugBase& plug, const std::string& path) {
  if (path.empty()) return false;
  ChunkBuffer file;
  {
    platform::Guard guard(plug.Lock());
    // The current program's edits go into the file too, as they go into a host's bank chunk.
    plug.ModifyCurrentPreset(nullptr);
    PutCommonHeader(file, plug, fx::kBankChunkKind, fx::kBankFormatVersion);
    fx::PutWord(file, static_cast<std::uint32_t>(plug.ProgramCount()));
    fx::PutWord(file, static_cast<std::uint32_t>(plug.CurrentProgram()));
    const std::uint8_t reserved[fx::kReservedBytes] = {};
    file.PutBytes(reserved, sizeof(reserved));
    PutChunk(file, [&plug](ChunkBuffer& out) { plug.SerializePresets(out); });
  }
  return WriteWholeFile(path, file);
}

bool LoadProgramFile(IPlugBase& plug, const std::string& path) {
  ChunkBuffer file;
  if (!ReadWholeFile(path, file)) return false;
  // The plug-in version and the parameter count are not checked.
  if (!fx::HasCode(file, fx::kMagicAt, fx::kChunkMagic) ||
      !fx::WordIs(file, fx::kFormatVersionAt, fx::kProgramFormatVersion) ||
      !fx::WordIs(file, fx::kPluginIdAt, plug.UniqueId())) {
    return false;
  }
  const bool chunkForm = fx::HasCode(file, fx::kKindAt, fx::kProgramChunkKind);
  if (!chunkForm && !fx::HasCode(file, fx::kKindAt, fx::kProgramParamsKind)) return false;
  const std::string name = fx::GetName(file, fx::kNameAt);

  platform::Guard guard(plug.Lock());
  if (chunkForm) {
    std::int32_t version = 0;
    const int pos = chunk_header::Read(file, fx::kProgramChunkAt, &version);
    // A body the product refuses, or one cut short, is a file that cannot be loaded: the
    // sound and the program's name stay as they were.
    if (pos < 0 || plug.ReadWholeState(file, pos) < 0) return false;
  } else {
    ApplyNormalisedFloats(plug, file, fx::kParamsAt);
  }
  plug.ModifyCurrentPreset(name.c_str());
  plug.SelectPreset(plug.CurrentProgram());
  plug.ReportProgramChange();
  return true;
}

bool LoadBankFile(IPlugBase& plug, const std::string& path) {
  ChunkBuffer file;
  if (!ReadWholeFile(path, file)) return false;
  // The format version is not checked for banks.
  if (!fx::HasCode(file, fx::kMagicAt, fx::kChunkMagic) || !fx::WordIs(file, fx::kPluginIdAt, plug.UniqueId())) {
    return false;
  }
  const bool chunkForm = fx::HasCode(file, fx::kKindAt, fx::kBankChunkKind);
  if (!chunkForm && !fx::HasCode(file, fx::kKindAt, fx::kBankParamsKind)) return false;
  std::uint32_t programCount = 0;
  std::uint32_t currentProgram = 0;
  fx::GetWord(file, fx::kProgramCountAt, &programCount);
  fx::GetWord(file, fx::kCurrentProgramAt, &currentProgram);

  platform::Guard guard(plug.Lock());
  if (chunkForm) {
    std::int32_t version = 0;
    int pos = chunk_header::Read(file, fx::kBankChunkAt, &version);
    if (pos >= 0) pos = plug.UnserializePresets(file, pos);
    // A bank cut short keeps the programs read before the cut, as a refused "FxBk" record
    // does, and is reported as a failure.
    plug.ReportProgramChange();
    return pos >= 0;
  }

  // The count comes from the file; records beyond the last slot are not read. A record
  // that is not all there (the file ends before the count does) is refused like a foreign
  // one, so a cut file is a failed load and never half a program.
  const int recordSize = fx::ProgramRecordSize(plug.ParamCount());
  const int records = static_cast<int>(std::min<std::uint32_t>(programCount, plug.ProgramCount()));
  int pos = fx::kBankRecordsAt;
  for (int i = 0; i < records; ++i, pos += recordSize) {
    if (pos > file.Size() - recordSize || !fx::HasCode(file, pos + fx::kMagicAt, fx::kChunkMagic) ||
        !fx::HasCode(file, pos + fx::kKindAt, fx::kProgramParamsKind) ||
        !fx::WordIs(file, pos + fx::kFormatVersionAt, fx::kProgramFormatVersion) ||
        !fx::WordIs(file, pos + fx::kParamCountAt, static_cast<std::uint32_t>(plug.ParamCount()))) {
      // The records before this one stay loaded; the host still hears of the change.
      plug.ReportProgramChange();
      return false;
    }
    plug.SelectPreset(i);
    ApplyNormalisedFloats(plug, file, pos + fx::kParamsAt);
    plug.ModifyCurrentPreset(fx::GetName(file, pos + fx::kNameAt).c_str());
  }
  plug.SelectPreset(static_cast<int>(currentProgram));
  plug.ReportProgramChange();
  return true;
}
