// Fuzz target: a state chunk handed to the dispatcher's set-chunk, as a host restores a
// project. The first byte picks the request: bit 0 the index (0 bank, 1 program), bit 1 a
// host that asks for program chunks only and may hand back either kind.
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::FuzzPlugin plain;
  static fuzz::FuzzPlugin programsOnly("Native Instruments");
  if (size < 1) return 0;
  const int index = data[0] & 1;
  const bool plainHost = (data[0] & 2) == 0;
  fuzz::FuzzPlugin& plugin = plainHost ? plain : programsOnly;
  const std::vector<std::uint8_t> chunk(data + 1, data + size);

  plugin.Restore();
  const std::vector<std::uint8_t> programBefore = plugin.GetChunk(1);
  const std::intptr_t answer = plugin.SetChunk(index, chunk);
  fuzz::Require(answer == 0 || answer == 1, "set-chunk answers 0 or 1");
  plugin.RequireParametersInRange();
  if (answer == 0 && plainHost && index == 1) {
    fuzz::Require(plugin.GetChunk(1) == programBefore, "a refused program chunk changes nothing");
  }

  // Whatever was loaded, the chunk the plug-in gives now is one it takes back, to the
  // same programs and sound.
  const std::vector<std::uint8_t> saved = plugin.GetChunk(index);
  const std::vector<std::string> slots = plugin.Slots();
  fuzz::Require(!saved.empty(), "the plug-in gives a chunk");
  fuzz::Require(plugin.SetChunk(index, saved) == 1, "the plug-in takes back its own chunk");
  fuzz::Require(plugin.Slots() == slots, "its own chunk restores the same state");
  plugin.RequireFiniteRender();
  return 0;
}
