// Rendering through the LV2 bundle.
#include "tools/Lv2Render.h"

#include <cmath>
#include <cstring>

#include "lv2/MidiBytes.h"
#include "lv2/Uris.h"
#include "tools/HostPrograms.h"
#include "tools/Lv2Host.h"

namespace {

constexpr char kChunkType[] = "http://lv2plug.in/ns/ext/atom#Chunk";
constexpr char kIntType[] = "http://lv2plug.in/ns/ext/atom#Int";
// The plug-in's ID and version in the FXB files written here: the four characters "tsvr" and
// the version hosts see.
constexpr std::int32_t kUniqueId = 0x74737672;
constexpr std::int32_t kFileVersion = 10001;

Lv2Host::StateValue IntValue(std::int32_t value) {
  std::vector<std::uint8_t> bytes(sizeof(value));
  std::memcpy(bytes.data(), &value, sizeof(value));
  return {kIntType, bytes};
}

// The bank chunk and current program of the instance.
bool CurrentBank(Lv2Host& host, std::vector<std::uint8_t>* bank, int* program) {
  Lv2Host::State state;
  if (!host.SaveState(&state)) return false;
  const auto b = state.find(lv2uris::kStateBank);
  const auto p = state.find(lv2uris::kStateProgram);
  if (b == state.end() || p == state.end() || p->second.bytes.size() != sizeof(std::int32_t)) return false;
  *bank = b->second.bytes;
  std::int32_t index = 0;
  std::memcpy(&index, p->second.bytes.data(), sizeof(index));
  *program = index;
  return true;
}

bool LoadFile(Lv2Host& host, const std::vector<std::uint8_t>& bytes, std::string* error) {
  FileChunkPlace place;
  if (!FindChunkInFile(bytes, kUniqueId, &place, error)) return false;
  const std::vector<std::uint8_t> chunk(bytes.begin() + static_cast<long>(place.at),
                                        bytes.begin() + static_cast<long>(place.at + place.size));
  Lv2Host::State state;
  state[place.bank ? lv2uris::kStateBank : lv2uris::kStateProgramChunk] = {kChunkType, chunk};
  if (host.RestoreState(state) != 0) {
    *error = place.bank ? "the bank in the file cannot be read" : "the program in the file cannot be read";
    return false;
  }
  return true;
}

}  // namespace

bool RenderThroughLv2(const RenderOptions& options, const std::vector<TimedMidi>& events, double lengthSeconds,
                      RenderedAudio* audio, std::string* programName, std::string* error) {
  Lv2Host host;
  Lv2HostSettings settings;
  settings.sampleRate = options.settings.sampleRate;
  settings.blockSize = options.settings.blockSize;
  if (!host.Load(options.lv2Bundle, settings)) {
    *error = host.Error();
    return false;
  }
  host.Activate();
  if (!options.programFile.empty()) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(options.programFile, &bytes)) {
      *error = "cannot read " + options.programFile;
      return false;
    }
    if (!LoadFile(host, bytes, error)) {
      *error = options.programFile + ": " + *error;
      return false;
    }
  }
  std::vector<std::uint8_t> bank;
  int program = 0;
  if (!options.tapeDump.empty()) {
    const std::vector<std::uint8_t> image = TapeDumpBankImage(options.tapeDump, kFileVersion, error);
    if (image.empty() || !CurrentBank(host, &bank, &program) || !LoadFile(host, image, error)) {
      *error = options.tapeDump + ": " + *error;
      return false;
    }
  }
  if (!CurrentBank(host, &bank, &program)) {
    *error = "the plug-in saves no bank";
    return false;
  }
  const std::vector<std::string> names = BankChunkNames(bank);
  if (!options.program.empty()) {
    program = FindProgramIn(names, options.program);
    if (program < 0) {
      *error = "no program \"" + options.program + "\" (give 11 ... 88 or a program name)";
      return false;
    }
    Lv2Host::State state;
    state[lv2uris::kStateBank] = {kChunkType, bank};
    state[lv2uris::kStateProgram] = IntValue(program);
    host.RestoreState(state);
    CurrentBank(host, &bank, &program);
  }
  // A port acts when the host changes it (lv2/ControlPorts.h): each value is written after
  // a neighbour of it, so that a value the port already holds still reaches the plug-in.
  for (const RenderOptions::ParamValue& p : options.params) {
    const auto value = static_cast<float>(p.value);
    host.Control(p.index) = std::nextafter(value, value + 1.0f);
    host.Run(0);
    host.Control(p.index) = value;
    host.Run(0);
  }
  if (!options.params.empty()) CurrentBank(host, &bank, &program);
  if (!options.saveState.empty() && !host.SaveStateDirectory(options.saveState)) {
    *error = "cannot save the state in " + options.saveState;
    return false;
  }
  if (!options.saveBank.empty() &&
      !WriteWholeFile(options.saveBank, BankFile(bank.data(), bank.size(), kUniqueId, kFileVersion, 64, program))) {
    *error = "cannot write " + options.saveBank;
    return false;
  }
  *programName = program >= 0 && program < static_cast<int>(names.size()) ? names[program] : "";

  ForEachBlock(
      events, lengthSeconds, options.settings,
      [&](const std::vector<MidiMessage>& messages) {
        for (const MidiMessage& m : messages) {
          const std::uint8_t bytes[3] = {m.status, m.data1, m.data2};
          const int length = lv2::MessageLength(m.status);
          if (length > 0) host.AddMidi(m.offset, std::vector<std::uint8_t>(bytes, bytes + length));
        }
      },
      [&](int frames) {
        host.Run(frames);
        audio->left.insert(audio->left.end(), host.Left().begin(), host.Left().begin() + frames);
        audio->right.insert(audio->right.end(), host.Right().begin(), host.Right().begin() + frames);
      });
  return true;
}
