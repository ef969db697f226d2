// Reading programs for the browser.
#include "core/ProgramList.h"

#include <cstdint>

#include "core/FactoryBanks.h"
#include "core/FileBytes.h"
#include "core/FxFormat.h"
#include "core/IPlugBase.h"

namespace {

constexpr std::size_t kBankPrograms = 64;

// Walks the bank body from pos: name, flag byte, and a body for initialised programs.
void ListBankBody(const ChunkBuffer& bytes, int pos, const BodyFormat& format, std::size_t limit,
                  std::vector<BrowsedProgram>& list) {
  while (pos >= 0 && pos < bytes.Size() && list.size() < limit) {
    std::string name;
    pos = bytes.GetText(&name, pos, ProgramSlot::kMaxNameLength);
    std::uint8_t flag = 0;
    if (pos >= 0) pos = bytes.GetBytes(&flag, 1, pos);
    if (pos < 0 || flag == 0) continue;
    BrowsedProgram program;
    pos = CopyProgramBody(bytes, pos, format, program.state);
    if (pos < 0) break;
    program.name = name;
    list.push_back(std::move(program));
  }
}

// The extension is the text from the last point, when that point follows the last path
// separator of either kind.
std::string Extension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t separator = path.find_last_of("/\\");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return std::string();
  return path.substr(dot);
}

bool IsOurs(const ChunkBuffer& bytes) {
  return fx::HasCode(bytes, fx::kMagicAt, fx::kChunkMagic) && fx::WordIs(bytes, fx::kPluginIdAt, fx::kTesvarId);
}

void ListProgramFile(const ChunkBuffer& bytes, const BodyFormat& format, std::vector<BrowsedProgram>& list) {
  if (!IsOurs(bytes) || !fx::WordIs(bytes, fx::kFormatVersionAt, fx::kProgramFormatVersion) ||
      !fx::HasCode(bytes, fx::kKindAt, fx::kProgramChunkKind)) {
    return;
  }
  std::int32_t version = 0;
  const int pos = chunk_header::Read(bytes, fx::kProgramChunkAt, &version);
  BrowsedProgram program;
  if (CopyProgramBody(bytes, pos, format, program.state) < 0) return;
  program.name = fx::GetName(bytes, fx::kNameAt);
  list.push_back(std::move(program));
}

}  // namespace

bool ListEmbeddedBankPrograms(int bank, const BodyFormat& format, std::vector<BrowsedProgram>& list) {
  list.clear();
  const ChunkBuffer bytes = LoadFactoryBankBytes(bank);
  const int pos = FindBankBody(bytes);
  if (pos > 0) ListBankBody(bytes, pos, format, kBankPrograms, list);
  return !list.empty();
}

bool ListFilePrograms(const std::string& path, const BodyFormat& format, std::vector<BrowsedProgram>& list) {
  list.clear();
  const std::string extension = Extension(path);
  const bool program = extension == ".fxp" || extension == ".FXP";
  const bool bank = extension == ".fxb" || extension == ".FXB";
  if (!program && !bank) return false;
  ChunkBuffer bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  if (program) {
    ListProgramFile(bytes, format, list);
    if (list.size() != 1) list.clear();
  } else if (fx::HasCode(bytes, fx::kKindAt, fx::kBankChunkKind)) {
    // One more than a bank holds, so that a longer walk is seen and refused.
    ListBankBody(bytes, FindBankBody(bytes), format, kBankPrograms + 1, list);
    if (list.size() != kBankPrograms) list.clear();
  }
  return !list.empty();
}
