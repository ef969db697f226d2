// The lilv host's state and presets.
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include "tools/Lv2HostImpl.h"

namespace {

struct StateCall {
  Lv2Host::Impl* host;
  Lv2Host::State* state;
  const Lv2Host::State* source;
};

}  // namespace

bool Lv2Host::SaveState(State* state) {
  Impl& m = *impl_;
  const auto* iface = static_cast<const LV2_State_Interface*>(m.Extension(LV2_STATE__interface));
  if (iface == nullptr) return false;
  state->clear();
  StateCall call{&m, state, nullptr};
  auto store = [](LV2_State_Handle handle, std::uint32_t key, const void* value, std::size_t size, std::uint32_t type,
                  std::uint32_t) -> LV2_State_Status {
    auto* c = static_cast<StateCall*>(handle);
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    (*c->state)[c->host->Uri(key)] = StateValue{c->host->Uri(type), std::vector<std::uint8_t>(bytes, bytes + size)};
    return LV2_STATE_SUCCESS;
  };
  return iface->save(Handle(), store, &call, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, m.Features()) ==
         LV2_STATE_SUCCESS;
}

int Lv2Host::RestoreState(const State& state) {
  Impl& m = *impl_;
  const auto* iface = static_cast<const LV2_State_Interface*>(m.Extension(LV2_STATE__interface));
  if (iface == nullptr) return LV2_STATE_ERR_NO_FEATURE;
  StateCall call{&m, nullptr, &state};
  auto retrieve = [](LV2_State_Handle handle, std::uint32_t key, std::size_t* size, std::uint32_t* type,
                     std::uint32_t* flags) -> const void* {
    auto* c = static_cast<StateCall*>(handle);
    const char* uri = c->host->Uri(key);
    const auto found = uri != nullptr ? c->source->find(uri) : c->source->end();
    if (found == c->source->end()) return nullptr;
    *size = found->second.bytes.size();
    *type = c->host->Id(found->second.type.c_str());
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return found->second.bytes.data();
  };
  return iface->restore(Handle(), retrieve, &call, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, m.Features());
}

bool Lv2Host::SaveStateDirectory(const std::string& directory) {
  Impl& m = *impl_;
  LilvState* state =
      lilv_state_new_from_instance(m.plugin, m.instance, &m.map, nullptr, nullptr, nullptr, directory.c_str(),
                                   &Impl::GetPortValue, &m, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, m.Features());
  if (state == nullptr) return false;
  const int failed = lilv_state_save(m.world, &m.map, &m.unmap, state, nullptr, directory.c_str(), "state.ttl");
  lilv_state_free(state);
  return failed == 0;
}

std::vector<Lv2Host::Preset> Lv2Host::Presets() {
  Impl& m = *impl_;
  std::vector<Preset> presets;
  LilvNode* presetClass = lilv_new_uri(m.world, LV2_PRESETS__Preset);
  LilvNode* label = lilv_new_uri(m.world, LILV_NS_RDFS "label");
  LilvNodes* related = lilv_plugin_get_related(m.plugin, presetClass);
  LILV_FOREACH(nodes, i, related) {
    const LilvNode* preset = lilv_nodes_get(related, i);
    lilv_world_load_resource(m.world, preset);
    LilvNode* name = lilv_world_get(m.world, preset, label, nullptr);
    presets.push_back({lilv_node_as_uri(preset), name != nullptr ? lilv_node_as_string(name) : ""});
    lilv_node_free(name);
  }
  lilv_nodes_free(related);
  lilv_node_free(label);
  lilv_node_free(presetClass);
  return presets;
}

bool Lv2Host::ApplyPreset(const std::string& uri) {
  Impl& m = *impl_;
  LilvNode* node = lilv_new_uri(m.world, uri.c_str());
  lilv_world_load_resource(m.world, node);
  LilvState* state = lilv_state_new_from_world(m.world, &m.map, node);
  lilv_node_free(node);
  if (state == nullptr) return false;
  lilv_state_restore(state, m.instance, &Impl::SetPortValue, &m, 0, m.Features());
  lilv_state_free(state);
  return true;
}
