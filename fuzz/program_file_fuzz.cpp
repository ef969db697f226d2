// Fuzz target: FXP and FXB files loaded by the plug-in's own file commands. The first
// byte picks the loader (bit 0: bank), the rest is the file.
#include <algorithm>
#include <cstring>

#include "core/ProgramFiles.h"
#include "core/ProgramList.h"
#include "fuzz/FuzzSupport.h"

namespace {
const BodyFormat kFormat{{Tesvar::kStateTag, sizeof(Tesvar::kStateTag)}, kParamCount};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::FuzzPlugin plugin;
  if (size < 1) return 0;
  const bool bank = (data[0] & 1) != 0;
  const std::string path = fuzz::WriteScratchFile(bank ? "input.fxb" : "input.fxp", data + 1, size - 1);

  // The program browser reads the file on its own.
  std::vector<BrowsedProgram> listed;
  ListFilePrograms(path, kFormat, listed);
  fuzz::Require(listed.empty() || listed.size() == (bank ? 64u : 1u), "one program in a program file, 64 in a bank");

  plugin.Restore();
  const std::vector<std::uint8_t> programBefore = plugin.GetChunk(1);
  const std::vector<std::uint8_t> bankBefore = plugin.GetChunk(0);
  const bool loaded = bank ? LoadBankFile(plugin.Plug(), path) : LoadProgramFile(plugin.Plug(), path);
  plugin.RequireParametersInRange();
  if (!loaded && !bank) fuzz::Require(plugin.GetChunk(1) == programBefore, "a refused program file changes nothing");
  if (!loaded && (size < 5 || std::memcmp(data + 1, "CcnK", 4) != 0)) {
    fuzz::Require(plugin.GetChunk(0) == bankBefore, "a file that is not one changes nothing");
  }

  // The state now saves to a file that loads back to the same programs.
  const std::string saved = fuzz::ScratchFolder() + (bank ? "/saved.fxb" : "/saved.fxp");
  auto sounds = plugin.ProgramSounds();
  if (!bank) {
    // A program file keeps the name in a 28-byte field: up to 27 characters and a zero.
    std::string& name = sounds[static_cast<std::size_t>(plugin.Plug().CurrentProgram())].name;
    name = name.substr(0, std::min<std::size_t>(name.find('\0'), 27));
  }
  fuzz::Require(bank ? SaveBankFile(plugin.Plug(), saved) : SaveProgramFile(plugin.Plug(), saved), "the file saves");
  fuzz::Require(bank ? LoadBankFile(plugin.Plug(), saved) : LoadProgramFile(plugin.Plug(), saved),
                "a saved file loads");
  fuzz::Require(plugin.ProgramSounds() == sounds, "a saved file restores the same programs");
  // The program browser lists a saved file whole (a bank only when every slot is in use).
  bool allInUse = true;
  for (int p = 0; p < plugin.Plug().ProgramCount(); ++p)
    allInUse = allInUse && plugin.Plug().GetProgram(p)->initialised;
  ListFilePrograms(saved, kFormat, listed);
  if (!bank || allInUse) fuzz::Require(listed.size() == (bank ? 64u : 1u), "the browser lists a saved file");
  plugin.RequireFiniteRender();
  return 0;
}
