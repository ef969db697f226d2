// State chunks exchanged with the host: the bank chunk (all programs) and the program chunk
// (the current program and its name).
#include <string>

#include "vst2/IPlugVST.h"

std::intptr_t IPlugVST::GetChunk(bool bank, void** out) {
  if (out == nullptr) return 0;
  ChunkBuffer& buffer = bank ? bankChunk_ : programChunk_;
  buffer.Clear();
  chunk_header::Write(buffer);
  bool success;
  if (bank) {
    ModifyCurrentPreset(nullptr);
    success = SerializePresets(buffer);
  } else {
    WriteState(buffer);
    buffer.PutText(ProgramName(CurrentProgram()));
    success = !buffer.Empty();
  }
  if (!success || buffer.Empty()) return 0;
  *out = buffer.Data();
  return buffer.Size();
}

std::intptr_t IPlugVST::SetChunk(bool bank, const void* data, std::intptr_t size) {
  if (data == nullptr || size < 0 || size > 0x7FFFFFFF) return 0;
  const int count = static_cast<int>(size);
  ChunkBuffer& buffer = bank ? bankChunk_ : programChunk_;
  buffer.Assign(data, count);
  std::int32_t version = 0;
  int pos = chunk_header::Read(buffer, 0, &version);
  if (pos >= 0) {
    if (bank && version >= 0x10000) {
      pos = UnserializePresets(buffer, pos);
    } else {
      // A refused or cut body leaves the sound as it was (and answers 0).
      pos = ReadWholeState(buffer, pos);
      if (pos >= 0 && pos < count) {
        std::string name;
        const int afterName = buffer.GetText(&name, pos, ProgramSlot::kMaxNameLength);
        if (afterName < 0) name.clear();
        else pos = afterName;
        ModifyCurrentPreset(name.c_str());
      } else if (pos >= 0) {
        ModifyCurrentPreset(nullptr);
      }
    }
  }
  if (HostWantsProgramChunks()) {
    // These hosts ask for program chunks only; what they hand back may still be a bank.
    if (pos != count) {
      bankChunk_.Assign(data, count);
      const int afterHeader = chunk_header::Read(bankChunk_, 0, &version);
      // Without a bank header nothing more is read, and the program reading's answer
      // stands: bytes that were not understood are never reported as restored.
      if (afterHeader >= 0 && version >= 0x10000) pos = UnserializePresets(bankChunk_, afterHeader);
      if (pos < 0) return 0;
    }
  } else if (pos < 0) {
    return 0;
  }
  RefreshControls();
  return 1;
}
