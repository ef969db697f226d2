// The renderer's tape-dump import: the recording is decoded here, and its 64 programs reach
// the plug-in as a bank chunk, which is what the plug-in's own import leaves behind
// (every program initialised, then the recorded fields set; names "Program b-n").
#include "resources/BankImage.h"
#include "tape/TapeDecoder.h"
#include "tools/HostPrograms.h"
#include "tools/RenderOptions.h"

std::vector<std::uint8_t> TapeDumpBankImage(const std::string& wavPath, std::int32_t pluginVersion,
                                            std::string* error) {
  const tape::TapeDecodeResult decoded = tape::DecodeTapeFile(wavPath, tape::TapeReadSettings{});
  if (decoded.status != tape::TapeStatus::kOk) {
    *error = std::string("no programs imported: ") + tape::TapeStatusText(decoded.status);
    return {};
  }
  const tape::TapeBank bank = tape::MapPrograms(decoded.data);
  resources::BankTable table;
  for (int i = 0; i < tape::kTapeProgramCount; ++i) {
    resources::BankProgram program;
    program.name = tape::TapeProgramName(i);
    std::copy(bank[i].begin(), bank[i].end(), program.values.begin());
    table.programs.push_back(program);
  }
  return resources::WriteBankImage(table, pluginVersion);
}

bool ImportTapeDump(PluginHost& host, const std::string& wavPath, std::string* error) {
  const std::vector<std::uint8_t> image = TapeDumpBankImage(wavPath, host.Effect()->version, error);
  if (image.empty()) return false;
  const int current = static_cast<int>(host.Dispatch(vst::effGetProgram));
  if (!LoadProgramFile(host, image, error)) return false;
  host.Dispatch(vst::effSetProgram, 0, current);
  return true;
}
