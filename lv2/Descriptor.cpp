// The library's LV2 entry: the plug-in's descriptor and its extension interfaces, each a
// thin call into an Instance.
#include <cstring>
#include <new>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include "lv2/Instance.h"
#include "lv2/Uris.h"

// The plug-in's VST 2.4 entry (vst2/Entry.cpp), linked into the same library: every
// instance is made by it.
extern "C" vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host);

namespace lv2 {
namespace {

Instance* Of(LV2_Handle handle) { return static_cast<Instance*>(handle); }

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features) {
  try {
    return Instance::Create(VSTPluginMain, sampleRate, features).release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle handle, std::uint32_t port, void* data) { Of(handle)->ConnectPort(port, data); }
void Activate(LV2_Handle handle) { Of(handle)->Activate(); }
void Run(LV2_Handle handle, std::uint32_t frames) { Of(handle)->Run(frames); }
void Deactivate(LV2_Handle handle) { Of(handle)->Deactivate(); }
void Cleanup(LV2_Handle handle) { delete Of(handle); }

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, std::uint32_t,
                      const LV2_Feature* const*) {
  return Of(handle)->Save(store, state);
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, std::uint32_t,
                         const LV2_Feature* const*) {
  return Of(handle)->Restore(retrieve, state);
}

LV2_Worker_Status Work(LV2_Handle handle, LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle respondHandle,
                       std::uint32_t size, const void* data) {
  return Of(handle)->Work(respond, respondHandle, size, data);
}

LV2_Worker_Status WorkResponse(LV2_Handle handle, std::uint32_t size, const void* data) {
  return Of(handle)->WorkResponse(size, data);
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface state = {Save, Restore};
  static const LV2_Worker_Interface worker = {Work, WorkResponse, nullptr};
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
  if (std::strcmp(uri, LV2_WORKER__interface) == 0) return &worker;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {lv2uris::kPlugin, Instantiate, ConnectPort,  Activate, Run,
                                    Deactivate,       Cleanup,     ExtensionData};

}  // namespace
}  // namespace lv2

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
  return index == 0 ? &lv2::kDescriptor : nullptr;
}
