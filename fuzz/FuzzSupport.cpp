// Scratch folder, instances and checks shared by the fuzz targets.
#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/StateBody.h"

namespace fuzz {
namespace {

// The host callback carries no user pointer: instances are told apart by their record.
struct HostEntry {
  vst::AEffect* effect;
  std::string vendor;
};
std::vector<HostEntry>& Hosts() {
  static std::vector<HostEntry> hosts;
  return hosts;
}

std::intptr_t VST_CALL HostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr,
                                    float) {
  switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterGetVendorString:
      for (const HostEntry& host : Hosts()) {
        if (host.effect == effect) {
          std::snprintf(static_cast<char*>(ptr), 64, "%s", host.vendor.c_str());
          return 1;
        }
      }
      return 0;
    case vst::audioMasterGetProductString:
      std::snprintf(static_cast<char*>(ptr), 64, "%s", "Tesvar Fuzz Host");
      return 1;
    default: return 0;
  }
}

}  // namespace

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    namespace fs = std::filesystem;
    // tmpfs where there is one: targets that read files write one per input.
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path home = base / ("tesvar-fuzz-" + std::to_string(getpid()));
    fs::create_directories(home / ".config");
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    // Removed when the fuzzer ends normally; a crash leaves it for inspection.
    static struct Cleanup {
      fs::path path;
      ~Cleanup() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
      }
    } cleanup{home};
    return home.string();
  }();
  return folder;
}

std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  Require(file != nullptr, "scratch file cannot be created");
  if (size > 0) Require(std::fwrite(data, 1, size, file) == size, "scratch file cannot be written");
  std::fclose(file);
  return path;
}

std::uint32_t InputCursor::Take(int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) {
    const std::uint32_t byte = at_ < size_ ? data_[at_++] : 0;
    value |= byte << (8 * i);
  }
  return value;
}

FuzzPlugin::FuzzPlugin(const char* vendor) {
  ScratchFolder();
  // As the entry point does it.
  plug_ = new Tesvar(HostCallback);
  plug_->MakeDefaultPrograms();
  effect_ = plug_->Effect();
  Hosts().push_back({effect_, vendor});
  Dispatch(vst::effOpen);
  Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(vst::effSetBlockSize, 0, kBlockSize);
  Dispatch(vst::effMainsChanged, 0, 1);
  // The baseline is read through the core, whatever the host's chunk habits.
  ChunkBuffer bank;
  chunk_header::Write(bank);
  plug_->SerializePresets(bank);
  baseline_.assign(bank.Data(), bank.Data() + bank.Size());
}

FuzzPlugin::~FuzzPlugin() {
  auto& hosts = Hosts();
  for (auto it = hosts.begin(); it != hosts.end(); ++it) {
    if (it->effect == effect_) {
      hosts.erase(it);
      break;
    }
  }
  Dispatch(vst::effMainsChanged, 0, 0);
  Dispatch(vst::effClose);
}

std::intptr_t FuzzPlugin::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::vector<std::uint8_t> FuzzPlugin::GetChunk(int index) {
  void* data = nullptr;
  const std::intptr_t size = Dispatch(vst::effGetChunk, index, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

std::intptr_t FuzzPlugin::SetChunk(int index, const std::vector<std::uint8_t>& bytes) {
  // A copy the size of the input, so reads past its end are the sanitizer's to catch.
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  return Dispatch(vst::effSetChunk, index, static_cast<std::intptr_t>(bytes.size()), copy.get());
}

std::vector<FuzzPlugin::ProgramSound> FuzzPlugin::ProgramSounds() {
  const std::intptr_t current = Dispatch(vst::effGetProgram);
  std::vector<ProgramSound> sounds;
  for (int p = 0; p < plug_->ProgramCount(); ++p) {
    Dispatch(vst::effSetProgram, 0, p);
    ProgramSound sound;
    sound.name = plug_->ProgramName(p);
    for (int i = 0; i < plug_->ParamCount(); ++i) sound.values.push_back(plug_->GetParam(i)->Value());
    for (int i = 0; i < plug_->ChordNoteCount(); ++i) sound.chord.push_back(plug_->ChordNote(i));
    sounds.push_back(std::move(sound));
  }
  Dispatch(vst::effSetProgram, 0, current);
  return sounds;
}

std::vector<std::string> FuzzPlugin::Slots() {
  std::vector<std::string> slots;
  for (int p = 0; p < plug_->ProgramCount(); ++p) {
    const ProgramSlot* slot = plug_->GetProgram(p);
    std::string entry = slot->name + (slot->initialised ? "\1" : "\0");
    // The body: a 12-byte tag, the index, the length-prefixed name, then what sounds.
    std::int32_t nameLength = 0;
    const int afterName = slot->state.GetInt32(&nameLength, kStateTagLength + 4);
    const int sound = afterName + std::max(nameLength, 0);
    if (afterName >= 0 && sound <= slot->state.Size()) {
      entry.append(reinterpret_cast<const char*>(slot->state.Data()), kStateTagLength);
      entry.append(reinterpret_cast<const char*>(slot->state.Data()) + sound, slot->state.Size() - sound);
    } else {
      entry.append(reinterpret_cast<const char*>(slot->state.Data()), slot->state.Size());
    }
    slots.push_back(std::move(entry));
  }
  std::string current;
  for (int i = 0; i < plug_->ParamCount(); ++i) current += std::to_string(plug_->GetParam(i)->Value()) + " ";
  for (int i = 0; i < plug_->ChordNoteCount(); ++i) current += std::to_string(plug_->ChordNote(i)) + " ";
  slots.push_back(current + std::to_string(plug_->CurrentProgram()));
  return slots;
}

void FuzzPlugin::Restore() {
  Dispatch(vst::effMainsChanged, 0, 0);
  {
    platform::Guard guard(plug_->Lock());
    ChunkBuffer bank;
    bank.Assign(baseline_.data(), static_cast<int>(baseline_.size()));
    plug_->SelectPreset(0);
    Require(plug_->UnserializePresets(bank, 8) == bank.Size(), "the baseline bank reads back");
  }
  Dispatch(vst::effMainsChanged, 0, 1);
}

void FuzzPlugin::Restart() {
  Dispatch(vst::effMainsChanged, 0, 0);
  Dispatch(vst::effSetProgram, 0, 0);
  Dispatch(vst::effMainsChanged, 0, 1);
}

void FuzzPlugin::RequireParametersInRange() {
  for (int i = 0; i < plug_->ParamCount(); ++i) {
    const ParamRecord* param = plug_->GetParam(i);
    const double v = param->Value();
    Require(std::isfinite(v) && v >= param->Min() && v <= param->Max(), "parameter inside its range");
  }
}

void FuzzPlugin::RenderFinite(int frames) {
  left_.assign(static_cast<std::size_t>(frames), 0.0f);
  right_.assign(static_cast<std::size_t>(frames), 0.0f);
  float* inputs[1] = {left_.data()};
  float* outputs[2] = {left_.data(), right_.data()};
  effect_->processReplacing(effect_, inputs, outputs, frames);
  for (int i = 0; i < frames; ++i) {
    Require(std::isfinite(left_[i]) && std::isfinite(right_[i]), "finite audio");
  }
}

void FuzzPlugin::RequireFiniteRender() {
  vst::VstMidiEvent notes[3] = {};
  const int keys[3] = {36, 60, 96};
  struct {
    std::int32_t numEvents;
    std::intptr_t reserved;
    vst::VstEvent* events[3];
  } list = {3, 0, {}};
  for (int i = 0; i < 3; ++i) {
    notes[i].type = vst::kMidiType;
    notes[i].byteSize = sizeof(vst::VstMidiEvent);
    notes[i].midiData[0] = static_cast<char>(0x90);
    notes[i].midiData[1] = static_cast<char>(keys[i]);
    notes[i].midiData[2] = 100;
    list.events[i] = reinterpret_cast<vst::VstEvent*>(&notes[i]);
  }
  Dispatch(vst::effProcessEvents, 0, 0, &list);
  RenderFinite(256);
}

}  // namespace fuzz
