// Saved state: the bank and the current program, in the same bytes as the VST2 bank chunk;
// and the program chunk that presets carry. Refused whole when any part is wrong.
#include <array>
#include <cstring>

#include "lv2/Instance.h"
#include "lv2/StateChunks.h"

namespace lv2 {

namespace {

constexpr std::uint32_t kStoreFlags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
constexpr int kProgramCount = 64;

struct Retrieved {
  const void* data = nullptr;
  std::size_t size = 0;
  std::uint32_t type = 0;
  bool present() const { return data != nullptr; }
};

Retrieved Get(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, LV2_URID key) {
  Retrieved r;
  std::uint32_t flags = 0;
  r.data = retrieve(handle, key, &r.size, &r.type, &flags);
  return r;
}

}  // namespace

LV2_State_Status Instance::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  LV2_State_Status status = LV2_STATE_ERR_UNKNOWN;
  link_.WithChunk(true, [&](const std::uint8_t* bytes, std::size_t size) {
    status = store(handle, urids_.bank, bytes, size, urids_.atomChunk, kStoreFlags);
  });
  if (status != LV2_STATE_SUCCESS) return status;
  const std::int32_t program = link_.CurrentProgram();
  status = store(handle, urids_.program, &program, sizeof(program), urids_.atomInt, kStoreFlags);
  if (status != LV2_STATE_SUCCESS) return status;
  std::array<float, ControlPorts::kCount> seen{};
  controls_.Seen(seen.data());
  return store(handle, urids_.controls, seen.data(), sizeof(seen), urids_.atomChunk, kStoreFlags);
}

LV2_State_Status Instance::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  const Retrieved bank = Get(retrieve, handle, urids_.bank);
  const Retrieved program = Get(retrieve, handle, urids_.program);
  const Retrieved single = Get(retrieve, handle, urids_.programChunk);
  const Retrieved seen = Get(retrieve, handle, urids_.controls);
  if (!bank.present() && !single.present()) {
    // Some hosts restore an empty default state at start (jalv): not worth a warning.
    lv2_log_trace(&logger_, "Tesvar: the state holds no bank or program of this plug-in; nothing changed\n");
    return LV2_STATE_ERR_NO_PROPERTY;
  }
  // Everything is checked before anything is applied.
  const auto* bankBytes = static_cast<const std::uint8_t*>(bank.data);
  const auto* singleBytes = static_cast<const std::uint8_t*>(single.data);
  std::int32_t index = -1;
  bool bad = false;
  if (bank.present()) bad |= bank.type != urids_.atomChunk || !IsWholeBankChunk(bankBytes, bank.size);
  if (program.present()) {
    bad |= program.type != urids_.atomInt || program.size != sizeof(index);
    if (!bad) std::memcpy(&index, program.data, sizeof(index));
    bad |= index < 0 || index >= kProgramCount;
  }
  if (single.present()) bad |= single.type != urids_.atomChunk || !IsWholeProgramChunk(singleBytes, single.size);
  std::array<float, ControlPorts::kCount> seenValues{};
  if (seen.present()) {
    bad |= seen.type != urids_.atomChunk || seen.size != sizeof(seenValues);
    if (!bad) std::memcpy(seenValues.data(), seen.data, sizeof(seenValues));
  }
  if (bad) {
    lv2_log_warning(&logger_, "Tesvar: the state is damaged or from another plug-in; nothing changed\n");
    return LV2_STATE_ERR_BAD_TYPE;
  }

  bool applied = true;
  if (bank.present()) {
    applied &= link_.SetChunk(true, bankBytes, bank.size);
    if (index >= 0) link_.SelectProgram(index);
  }
  if (single.present()) applied &= link_.SetChunk(false, singleBytes, single.size);
  if (seen.present()) controls_.Restored(seenValues.data());
  echo_.MarkAll();
  return applied ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

}  // namespace lv2
