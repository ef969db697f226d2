// Fuzz target: what an LV2 host hands the plug-in, through the LV2 adapter: event sequences
// of any bytes, saved states edited at random, parameter port values. The input is a list
// of records; each starts with an operation byte:
//   0  a run: frames (two bytes, up to 4095), the sequence's declared body size (two
//      bytes), a byte count (two bytes) and that many bytes of events
//   1  a restore: the instance's own saved state with up to 15 edits (position three bytes,
//      value one byte) and a cut (two bytes, 0 = none) to its bank, and the program index
//      and the controls' size taken from the input
//   2  a port: a parameter index byte and the float's four bytes
// Every run's audio must be finite; a refused restore must leave the saved state as it was.
#include <cstring>
#include <map>
#include <string>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include "fuzz/FuzzSupport.h"
#include "lv2/Instance.h"
#include "lv2/Uris.h"

namespace {

std::map<std::string, LV2_URID>& Ids() {
  static std::map<std::string, LV2_URID> ids;
  return ids;
}

LV2_URID Map(LV2_URID_Map_Handle, const char* uri) {
  auto& ids = Ids();
  const auto found = ids.find(uri);
  if (found != ids.end()) return found->second;
  const auto id = static_cast<LV2_URID>(ids.size() + 1);
  ids.emplace(uri, id);
  return id;
}

using State = std::map<LV2_URID, std::pair<LV2_URID, std::vector<std::uint8_t>>>;

State Save(lv2::Instance& instance) {
  State state;
  instance.Save(
      [](LV2_State_Handle handle, std::uint32_t key, const void* value, std::size_t size, std::uint32_t type,
         std::uint32_t) {
        const auto* bytes = static_cast<const std::uint8_t*>(value);
        (*static_cast<State*>(handle))[key] = {type, std::vector<std::uint8_t>(bytes, bytes + size)};
        return LV2_STATE_SUCCESS;
      },
      &state);
  return state;
}

LV2_State_Status Restore(lv2::Instance& instance, const State& state) {
  return instance.Restore(
      [](LV2_State_Handle handle, std::uint32_t key, std::size_t* size, std::uint32_t* type,
         std::uint32_t* flags) -> const void* {
        const State& s = *static_cast<const State*>(handle);
        const auto found = s.find(key);
        if (found == s.end()) return nullptr;
        *size = found->second.second.size();
        *type = found->second.first;
        *flags = 0;
        return found->second.second.data();
      },
      const_cast<State*>(&state));
}

// The plug-in made as its entry point makes it, without an editor (the fuzz build has none).
vst::AEffect* VST_CALL Entry(vst::HostCallback host) {
  auto* plug = new Tesvar(host, nullptr);
  plug->MakeDefaultPrograms();
  return plug->Effect();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ScratchFolder();
  static LV2_URID_Map map{nullptr, Map};
  static const LV2_Feature mapFeature{LV2_URID__map, &map};
  static const LV2_Feature* features[] = {&mapFeature, nullptr};
  std::unique_ptr<lv2::Instance> instance = lv2::Instance::Create(Entry, 44100.0, features);
  fuzz::Require(instance != nullptr, "an instance");
  alignas(8) static std::uint8_t events[8192];
  alignas(8) static std::uint8_t output[8192];
  static float left[4096], right[4096], ports[lv2ports::kParamCount];
  for (int i = 0; i < lv2ports::kParamCount; ++i) {
    ports[i] = static_cast<float>(lv2::ControlPorts::Default(i));
    instance->ConnectPort(lv2ports::PortOfParam(i), &ports[i]);
  }
  instance->ConnectPort(lv2ports::kEventsIn, events);
  instance->ConnectPort(lv2ports::kEventsOut, output);
  instance->ConnectPort(lv2ports::kAudioLeft, left);
  instance->ConnectPort(lv2ports::kAudioRight, right);
  instance->Activate();

  fuzz::InputCursor in(data, size);
  for (int record = 0; record < 64 && in.Remaining() > 0; ++record) {
    const std::uint32_t op = in.Take(1) % 3;
    if (op == 0) {
      const std::uint32_t frames = in.Take(2) % 4096;
      auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(events);
      const std::uint32_t declared = in.Take(2) % (sizeof(events) - sizeof(LV2_Atom));
      const std::size_t count = std::min<std::size_t>({in.Take(2), in.Remaining(), sizeof(events) - sizeof(LV2_Atom)});
      std::memset(events, 0, sizeof(events));
      std::memcpy(events + sizeof(LV2_Atom), in.Rest(), count);
      in.Skip(count);
      sequence->atom.type = Map(nullptr, LV2_ATOM__Sequence);
      sequence->atom.size = declared;
      reinterpret_cast<LV2_Atom*>(output)->size = sizeof(output) - sizeof(LV2_Atom);
      instance->Run(frames);
      for (std::uint32_t i = 0; i < frames; ++i)
        fuzz::Require(std::isfinite(left[i]) && std::isfinite(right[i]), "finite audio");
    } else if (op == 1) {
      State state = Save(*instance);
      const State before = state;
      auto& bank = state[Map(nullptr, lv2uris::kStateBank)].second;
      const std::uint32_t edits = in.Take(1) % 16;
      for (std::uint32_t e = 0; e < edits && !bank.empty(); ++e) {
        const std::uint32_t at = in.Take(3) % bank.size();
        bank[at] = static_cast<std::uint8_t>(in.Take(1));
      }
      if (const std::uint32_t cut = in.Take(2); cut != 0 && cut < bank.size()) bank.resize(cut);
      const std::int32_t program = static_cast<std::int32_t>(in.Take(1)) - 64;
      std::memcpy(state[Map(nullptr, lv2uris::kStateProgram)].second.data(), &program, sizeof(program));
      state[Map(nullptr, lv2uris::kStateControls)].second.resize(in.Take(1) % 2 == 0 ? 204 : in.Take(1));
      if (Restore(*instance, state) != LV2_STATE_SUCCESS) {
        const State after = Save(*instance);
        fuzz::Require(after.at(Map(nullptr, lv2uris::kStateBank)) == before.at(Map(nullptr, lv2uris::kStateBank)),
                      "a refused state changes nothing");
      }
    } else {
      const std::uint32_t index = in.Take(1) % lv2ports::kParamCount;
      const std::uint32_t bits = in.Take(4);
      std::memcpy(&ports[index], &bits, sizeof(float));
    }
  }
  instance->Deactivate();
  return 0;
}
