// The tuning-library binding and the per-instance tuning client.
#include "shell/TuningClient.h"

#include <atomic>
#include <cmath>
#include <mutex>

#include "engine/dsp/Pitch.h"
#include "platform/Platform.h"

namespace shell {
namespace {

// The entry points, in the order they are resolved.
enum Entry {
  kRegisterClient,
  kDeregisterClient,
  kHasMaster,
  kGetVersionNumber,
  kShouldFilterNote,
  kShouldFilterNoteMultiChannel,
  kGetTuningTable,
  kGetMultiChannelTuningTable,
  kUseMultiChannelTuning,
  kGetScaleName,
  kGetPeriodRatio,
  kGetMapSize,
  kGetMapStartKey,
  kGetRefKey,
  kEntryCount
};

constexpr const char* kEntryNames[kEntryCount] = {"MTS_RegisterClient",
                                                  "MTS_DeregisterClient",
                                                  "MTS_HasMaster",
                                                  "MTS_GetVersionNumber",
                                                  "MTS_ShouldFilterNote",
                                                  "MTS_ShouldFilterNoteMultiChannel",
                                                  "MTS_GetTuningTable",
                                                  "MTS_GetMultiChannelTuningTable",
                                                  "MTS_UseMultiChannelTuning",
                                                  "MTS_GetScaleName",
                                                  "MTS_GetPeriodRatio",
                                                  "MTS_GetMapSize",
                                                  "MTS_GetMapStartKey",
                                                  "MTS_GetRefKey"};

using VoidFunction = void (*)();
using BoolFunction = bool (*)();
using FilterFunction = bool (*)(char note, char channel);
using TableFunction = const double* (*)();
using ChannelTableFunction = const double* (*)(char channel);

constexpr int kChannelCount = 16;
// Channel -1 (the byte 0xFF) asks about any channel.
constexpr char kAnyChannel = static_cast<char>(-1);

struct Binding {
  void* library = nullptr;
  void* entries[kEntryCount] = {};
  const double* tuningTable = nullptr;              // 128 frequencies in Hz, owned by the library
  const double* channelTables[kChannelCount] = {};  // fetched; the queries use the single table

  template <typename Function>
  Function Get(Entry entry) const {
    return reinterpret_cast<Function>(entries[entry]);
  }
};

// The binding is filled while unpublished and then published with release order, so a
// query that sees the pointer sees every field; it is never written while published.
Binding bindingStorage;
std::atomic<const Binding*> published{nullptr};
std::mutex bindMutex;

const Binding* Current() { return published.load(std::memory_order_acquire); }

bool MasterPresent(const Binding* binding) {
  if (binding == nullptr || binding->tuningTable == nullptr) return false;
  const auto hasMaster = binding->Get<BoolFunction>(kHasMaster);
  return hasMaster != nullptr && hasMaster();
}

}  // namespace

void TuningBinding::EnsureBound() { EnsureBound(platform::TuningLibraryPath()); }

void TuningBinding::EnsureBound(const std::string& libraryPath) {
  std::lock_guard<std::mutex> lock(bindMutex);
  if (Current() != nullptr) return;
  bindingStorage = Binding{};
  // A missing library is bound as "no library", so it is not looked for again.
  bindingStorage.library = platform::OpenLibrary(libraryPath);
  if (bindingStorage.library != nullptr) {
    for (int entry = 0; entry < kEntryCount; ++entry) {
      bindingStorage.entries[entry] = platform::FindSymbol(bindingStorage.library, kEntryNames[entry]);
    }
    if (const auto getTable = bindingStorage.Get<TableFunction>(kGetTuningTable)) {
      bindingStorage.tuningTable = getTable();
    }
    const auto getChannelTable = bindingStorage.Get<ChannelTableFunction>(kGetMultiChannelTuningTable);
    for (int channel = 0; channel < kChannelCount; ++channel) {
      bindingStorage.channelTables[channel] =
          getChannelTable != nullptr ? getChannelTable(static_cast<char>(channel)) : nullptr;
    }
  }
  published.store(&bindingStorage, std::memory_order_release);
}

void TuningBinding::Release() {
  std::lock_guard<std::mutex> lock(bindMutex);
  if (Current() == nullptr) return;
  published.store(nullptr, std::memory_order_release);
  platform::CloseLibrary(bindingStorage.library);
  bindingStorage = Binding{};
}

bool TuningBinding::IsLibraryLoaded() {
  const Binding* binding = Current();
  return binding != nullptr && binding->library != nullptr;
}

bool TuningBinding::HasMaster() { return MasterPresent(Current()); }

TuningClient::TuningClient() {
  for (int note = 0; note < kNoteCount; ++note) {
    equalTempered_[note] = 440.0 * std::pow(2.0, (note - 69) / 12.0);
  }
  retuned_ = equalTempered_;
  const Binding* binding = Current();
  if (binding == nullptr) return;
  if (const auto registerClient = binding->Get<VoidFunction>(kRegisterClient)) {
    registerClient();
    registered_ = true;
  }
}

TuningClient::~TuningClient() {
  const Binding* binding = Current();
  if (!registered_ || binding == nullptr) return;
  if (const auto deregisterClient = binding->Get<VoidFunction>(kDeregisterClient)) deregisterClient();
}

std::unique_ptr<TuningClient> CreateTuningClient() { return std::make_unique<TuningClient>(); }

double NoteFrequency(TuningClient& client, int note) {
  const int n = note & 0x7F;
  const Binding* binding = Current();
  if (!MasterPresent(binding)) return client.equalTempered_[n];
  const double frequency = binding->tuningTable[n];
  // A master's table is outside input: nothing but a positive finite frequency is used.
  if (!std::isfinite(frequency) || frequency <= 0.0) return client.equalTempered_[n];
  client.retuned_[n] = frequency;
  return frequency;
}

bool ShouldFilterNote(const TuningClient& client, int note) {
  const Binding* binding = Current();
  if (!MasterPresent(binding)) return false;
  const auto shouldFilter = binding->Get<FilterFunction>(kShouldFilterNote);
  return shouldFilter != nullptr && shouldFilter(static_cast<char>(note & 0x7F), kAnyChannel);
}

int PitchCodeForNote(TuningClient* client, int note) {
  if (client == nullptr || !TuningBinding::HasMaster()) return (note & 0x7F) * engine::kCodesPerSemitone;
  const double target = NoteFrequency(*client, note);
  // Halving from the middle of the range: steps 4320, 2160, ... 1 (135 halves to 67), then
  // a last look with step 0; 14 evaluations in all.
  int code = engine::kMaxPitchCode / 2;
  int step = engine::kMaxPitchCode / 2;
  do {
    step /= 2;
    const double frequency = engine::PitchToFrequency(code);
    if (frequency > target) {
      code -= step;
    } else if (frequency < target) {
      code += step;
    } else {
      return code;
    }
  } while (step != 0);
  return code;
}

}  // namespace shell
