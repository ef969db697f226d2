// Factory banks from the library's resources.
#include "core/FactoryBanks.h"

#include <string>

#include "core/FileBytes.h"
#include "core/FxFormat.h"
#include "core/IPlugBase.h"
#include "core/StateBody.h"
#include "platform/Platform.h"

namespace {

constexpr char kResourceName[] = "PROGINIT";

int BankNumber(int bank) { return bank == 1 || bank == 2 ? bank : 0; }

}  // namespace

const char* FactoryBankType(int bank) {
  static const char* const kTypes[kFactoryBankCount] = {"FACTORY", "QUELLMARK", "VELTRUM"};
  return kTypes[BankNumber(bank)];
}

const char* FactoryBankTitle(int bank) {
  static const char* const kTitles[kFactoryBankCount] = {"Poly-61 Factory Sounds", "Quellmark's Factory Sounds",
                                                         "Veltrum's Factory Sounds"};
  return kTitles[BankNumber(bank)];
}

const char* FactoryBankFileName(int bank) {
  static const char* const kFiles[kFactoryBankCount] = {"factory.fxb", "quellmark.fxb", "veltrum.fxb"};
  return kFiles[BankNumber(bank)];
}

ChunkBuffer LoadFactoryBankBytes(int bank) {
  ChunkBuffer bytes;
  const platform::ResourceBytes resource = platform::FindModuleResource(kResourceName, FactoryBankType(bank));
  if (resource.data != nullptr && resource.size <= kMaxFileBytes) {
    bytes.Assign(resource.data, static_cast<int>(resource.size));
  }
  return bytes;
}

void LoadBankFromMemory(IPlugBase& plug, const std::uint8_t* bytes, int count) {
  platform::Guard guard(plug.Lock());
  if (bytes != nullptr && count > fx::kBankChunkAt) {
    ChunkBuffer image;
    image.Assign(bytes, count);
    std::int32_t version = 0;
    const int pos = chunk_header::Read(image, fx::kBankChunkAt, &version);
    if (pos >= 0) plug.UnserializePresets(image, pos);
  }
  plug.ReportProgramChange();
}

void RestoreFactoryBank(IPlugBase& plug, int bank) {
  const ChunkBuffer image = LoadFactoryBankBytes(bank);
  platform::Guard guard(plug.Lock());
  LoadBankFromMemory(plug, image.Data(), image.Size());
  plug.RefreshControls();
}

bool RestoreFactoryProgram(IPlugBase& plug, int bank) {
  const ChunkBuffer image = LoadFactoryBankBytes(bank);
  int pos = FindBankBody(image);
  if (pos <= 0) return false;
  platform::Guard guard(plug.Lock());
  // Programs are counted in bank order, uninitialised records included, so program n of
  // the bank is the n-th record whatever index its body carries.
  for (int i = 0; i < plug.ProgramCount(); ++i) {
    std::string name;
    pos = image.GetText(&name, pos, ProgramSlot::kMaxNameLength);
    std::uint8_t flag = 0;
    if (pos >= 0) pos = image.GetBytes(&flag, 1, pos);
    if (pos < 0) return false;
    if (i == plug.CurrentProgram()) {
      // Only a complete body is applied: ReadState stores values as it goes.
      if (flag == 0 || SkipStateBody(image, pos, plug.ParamCount()) < 0) return false;
      if (plug.ReadState(image, pos) < 0) return false;
      plug.ModifyCurrentPreset(name.c_str());
      plug.ReportProgramChange();
      plug.RefreshControls();
      return true;
    }
    if (flag != 0) pos = SkipStateBody(image, pos, plug.ParamCount());
  }
  return false;
}

int FindBankBody(const ChunkBuffer& bytes) {
  if (!fx::HasCode(bytes, fx::kMagicAt, fx::kChunkMagic) || !fx::WordIs(bytes, fx::kPluginIdAt, fx::kTesvarId))
    return 0;
  if (!fx::HasCode(bytes, fx::kKindAt, fx::kBankChunkKind)) return fx::kBankChunkSizeAt;
  std::int32_t version = 0;
  const int pos = chunk_header::Read(bytes, fx::kBankChunkAt, &version);
  return pos >= 0 ? pos : fx::kBankChunkAt;
}
