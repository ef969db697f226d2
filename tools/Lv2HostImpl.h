// The lilv host's inside, shared by its three source files (tools/Lv2Host*.cpp).
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "tools/Lv2Host.h"

// Room for each of the two event sequences.
inline constexpr std::size_t kSequenceBytes = 1 << 16;

struct Lv2Host::Impl {
  Lv2Host* host = nullptr;
  Lv2HostSettings settings;
  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;
  LilvInstance* instance = nullptr;
  bool active = false;

  std::mutex mapLock;
  std::map<std::string, std::uint32_t> ids;
  std::vector<std::string> uris{""};
  LV2_URID_Map map{this, &Impl::MapUri};
  LV2_URID_Unmap unmap{this, &Impl::UnmapUri};
  LV2_Log_Log log{this, &Impl::Printf, &Impl::VPrintf};
  LV2_Worker_Schedule schedule{this, &Impl::Schedule};
  std::vector<std::vector<std::uint8_t>> workRequests;
  std::vector<std::vector<std::uint8_t>> workResponses;
  float rate = 0.0f;
  std::int32_t block = 0;
  std::vector<LV2_Options_Option> options;
  LV2_Feature mapFeature{LV2_URID__map, &map};
  LV2_Feature unmapFeature{LV2_URID__unmap, &unmap};
  LV2_Feature logFeature{LV2_LOG__log, &log};
  LV2_Feature scheduleFeature{LV2_WORKER__schedule, &schedule};
  LV2_Feature optionsFeature{LV2_OPTIONS__options, nullptr};
  std::vector<const LV2_Feature*> features;

  std::vector<float> controls;  // by port index (non-control ports unused)
  std::vector<std::uint64_t> input = std::vector<std::uint64_t>(kSequenceBytes / 8);
  std::vector<std::uint64_t> output = std::vector<std::uint64_t>(kSequenceBytes / 8);
  std::vector<std::uint8_t> pending;  // events of the next run, as sequence body bytes
  bool rawPending = false;
  std::uint32_t rawSize = 0;
  std::uint32_t eventsIn = 0, eventsOut = 0, audio[2] = {0, 0};

  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<Impl*>(handle);
    std::lock_guard<std::mutex> guard(self->mapLock);
    const auto found = self->ids.find(uri);
    if (found != self->ids.end()) return found->second;
    const auto id = static_cast<std::uint32_t>(self->uris.size());
    self->uris.emplace_back(uri);
    self->ids.emplace(uri, id);
    return id;
  }
  static const char* UnmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    auto* self = static_cast<Impl*>(handle);
    std::lock_guard<std::mutex> guard(self->mapLock);
    return urid > 0 && urid < self->uris.size() ? self->uris[urid].c_str() : nullptr;
  }
  static int VPrintf(LV2_Log_Handle handle, LV2_URID, const char* format, va_list args) {
    char text[1024];
    const int n = std::vsnprintf(text, sizeof text, format, args);
    static_cast<Impl*>(handle)->host->log_.emplace_back(text);
    return n;
  }
  static int Printf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = VPrintf(handle, type, format, args);
    va_end(args);
    return n;
  }
  static LV2_Worker_Status Schedule(LV2_Worker_Schedule_Handle handle, std::uint32_t size, const void* data) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    static_cast<Impl*>(handle)->workRequests.emplace_back(bytes, bytes + size);
    return LV2_WORKER_SUCCESS;
  }
  static LV2_Worker_Status Respond(LV2_Worker_Respond_Handle handle, std::uint32_t size, const void* data) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    static_cast<Impl*>(handle)->workResponses.emplace_back(bytes, bytes + size);
    return LV2_WORKER_SUCCESS;
  }
  static void SetPortValue(const char* symbol, void* user, const void* value, std::uint32_t size, std::uint32_t type) {
    auto* self = static_cast<Impl*>(user);
    const std::uint32_t port = self->PortBySymbol(symbol);
    if (port < self->controls.size() && size == sizeof(float) && type == self->Id(LV2_ATOM__Float)) {
      float v;
      std::memcpy(&v, value, sizeof(float));
      // Ports are shared with the plug-in's audio thread, which reads them atomically.
      std::atomic_ref<float>(self->controls[port]).store(v, std::memory_order_relaxed);
    }
  }
  static const void* GetPortValue(const char* symbol, void* user, std::uint32_t* size, std::uint32_t* type) {
    auto* self = static_cast<Impl*>(user);
    const std::uint32_t port = self->PortBySymbol(symbol);
    if (port >= self->controls.size() || !self->IsControl(port)) return nullptr;
    *size = sizeof(float);
    *type = self->Id(LV2_ATOM__Float);
    return &self->controls[port];
  }

  std::uint32_t Id(const char* uri) { return MapUri(this, uri); }
  const char* Uri(std::uint32_t id) { return UnmapUri(this, id); }
  std::uint32_t PortBySymbol(const char* symbol) {
    LilvNode* node = lilv_new_string(world, symbol);
    const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, node);
    lilv_node_free(node);
    return port != nullptr ? lilv_port_get_index(plugin, port) : UINT32_MAX;
  }
  bool PortIs(std::uint32_t index, const char* classUri) {
    LilvNode* node = lilv_new_uri(world, classUri);
    const bool is = lilv_port_is_a(plugin, lilv_plugin_get_port_by_index(plugin, index), node);
    lilv_node_free(node);
    return is;
  }
  bool IsControl(std::uint32_t index) {
    return PortIs(index, LV2_CORE__ControlPort) && PortIs(index, LV2_CORE__InputPort);
  }
  const LV2_Feature* const* Features() { return features.data(); }
  const void* Extension(const char* uri) {
    return instance != nullptr ? lilv_instance_get_extension_data(instance, uri) : nullptr;
  }
};
