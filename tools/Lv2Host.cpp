// The lilv host: world, features, ports, runs, state and presets.
#include "tools/Lv2Host.h"

#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

#include "lv2/PortLayout.h"
#include "tools/Lv2HostImpl.h"

Lv2Host::Lv2Host() : impl_(std::make_unique<Impl>()) { impl_->host = this; }

Lv2Host::~Lv2Host() {
  if (impl_->instance != nullptr) {
    if (impl_->active) lilv_instance_deactivate(impl_->instance);
    lilv_instance_free(impl_->instance);
  }
  if (impl_->world != nullptr) lilv_world_free(impl_->world);
}

LV2_Handle Lv2Host::Handle() const {
  return impl_->instance != nullptr ? lilv_instance_get_handle(impl_->instance) : nullptr;
}

std::uint32_t Lv2Host::Map(const char* uri) { return impl_->Id(uri); }
const LV2_Feature* Lv2Host::MapFeature() const { return &impl_->mapFeature; }
const LV2_Feature* Lv2Host::UnmapFeature() const { return &impl_->unmapFeature; }

bool Lv2Host::Load(const std::string& bundlePath, const Lv2HostSettings& settings) {
  Impl& m = *impl_;
  m.settings = settings;
  m.world = lilv_world_new();
  lilv_world_load_specifications(m.world);
  lilv_world_load_plugin_classes(m.world);
  std::string path = bundlePath;
  if (path.empty() || path.back() != '/') path += '/';
  LilvNode* bundle = lilv_new_file_uri(m.world, nullptr, path.c_str());
  lilv_world_load_bundle(m.world, bundle);
  lilv_node_free(bundle);
  const LilvPlugins* plugins = lilv_world_get_all_plugins(m.world);
  LilvIter* first = lilv_plugins_begin(plugins);
  if (lilv_plugins_is_end(plugins, first)) {
    error_ = "no LV2 plug-in in " + bundlePath;
    return false;
  }
  m.plugin = lilv_plugins_get(plugins, first);
  pluginUri_ = lilv_node_as_uri(lilv_plugin_get_uri(m.plugin));

  m.rate = static_cast<float>(settings.sampleRate);
  m.block = settings.blockSize;
  const std::uint32_t intType = m.Id(LV2_ATOM__Int);
  m.options = {
      {LV2_OPTIONS_INSTANCE, 0, m.Id(LV2_PARAMETERS__sampleRate), sizeof(float), m.Id(LV2_ATOM__Float), &m.rate},
      {LV2_OPTIONS_INSTANCE, 0, m.Id(LV2_BUF_SIZE__maxBlockLength), sizeof(std::int32_t), intType, &m.block},
      {LV2_OPTIONS_INSTANCE, 0, m.Id(LV2_BUF_SIZE__nominalBlockLength), sizeof(std::int32_t), intType, &m.block},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  m.optionsFeature.data = m.options.data();
  m.features = {&m.mapFeature, &m.unmapFeature};
  if (settings.offerLog) m.features.push_back(&m.logFeature);
  if (settings.offerWorker) m.features.push_back(&m.scheduleFeature);
  if (settings.offerOptions) m.features.push_back(&m.optionsFeature);
  m.features.push_back(nullptr);

  const std::uint32_t ports = lilv_plugin_get_num_ports(m.plugin);
  m.controls.assign(ports, 0.0f);
  std::vector<float> defaults(ports);
  lilv_plugin_get_port_ranges_float(m.plugin, nullptr, nullptr, defaults.data());
  int audioOut = 0;
  for (std::uint32_t p = 0; p < ports; ++p) {
    if (m.IsControl(p)) m.controls[p] = defaults[p];
    const bool input = m.PortIs(p, LV2_CORE__InputPort);
    if (m.PortIs(p, LV2_ATOM__AtomPort)) (input ? m.eventsIn : m.eventsOut) = p;
    if (m.PortIs(p, LV2_CORE__AudioPort) && !input && audioOut < 2) m.audio[audioOut++] = p;
  }
  m.instance = lilv_plugin_instantiate(m.plugin, settings.sampleRate, m.Features());
  if (m.instance == nullptr) {
    error_ = "the plug-in refused to be instantiated";
    return false;
  }
  for (std::uint32_t p = 0; p < ports; ++p) {
    if (m.IsControl(p)) lilv_instance_connect_port(m.instance, p, &m.controls[p]);
  }
  lilv_instance_connect_port(m.instance, m.eventsIn, m.input.data());
  lilv_instance_connect_port(m.instance, m.eventsOut, m.output.data());
  return true;
}

void Lv2Host::Activate() {
  if (!impl_->active) lilv_instance_activate(impl_->instance);
  impl_->active = true;
}

void Lv2Host::Deactivate() {
  if (impl_->active) lilv_instance_deactivate(impl_->instance);
  impl_->active = false;
}

float& Lv2Host::Control(int index) {
  return impl_->controls[impl_->PortBySymbol(lv2ports::ParamSymbol(index).c_str())];
}
