// The editor as an LV2 UI (ui:X11UI). The editor belongs to the plug-in object, so the UI
// needs the DSP instance (instance-access, which hosts that run the UI in their own process
// offer: Ardour, jalv, Carla, Qtractor) and a parent window (ui:parent). It opens the
// plug-in's editor inside its own holder window, drives it from the host's idle calls,
// and tells the host every parameter change through the write function.
#include <cstring>
#include <memory>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "lv2/Instance.h"
#include "lv2/PortLayout.h"
#include "lv2/UiWindow.h"
#include "lv2/Uris.h"

namespace lv2 {
namespace {

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
    if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
  }
  return nullptr;
}

class Ui final : public UiPeer {
 public:
  static std::unique_ptr<Ui> Create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                    const LV2_Feature* const* features) {
    auto* instance = static_cast<Instance*>(const_cast<void*>(FindFeature(features, LV2_INSTANCE_ACCESS_URI)));
    const void* parent = FindFeature(features, LV2_UI__parent);
    if (instance == nullptr || !instance->IsTesvar() || parent == nullptr || write == nullptr) return nullptr;
    std::unique_ptr<Ui> ui(new Ui(*instance, write, controller, features));
    if (!ui->Open(reinterpret_cast<std::uintptr_t>(parent))) return nullptr;
    return ui;
  }

  ~Ui() override {
    if (opened_) instance_.Link().CloseEditor();
    if (attached_) instance_.DetachUi(this);
  }

  LV2UI_Widget Widget() const { return reinterpret_cast<LV2UI_Widget>(window_.Id()); }

  void PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    const int index = lv2ports::ParamOfPort(port);
    if (index < 0 || format != 0 || size != sizeof(float) || buffer == nullptr) return;
    std::memcpy(&hostValues_[index], buffer, sizeof(float));
    known_[index] = true;
  }

  int Idle() {
    instance_.Link().IdleEditor();
    instance_.EchoToHost(*this,
                         [this](int index, float plain) { return known_[index] && hostValues_[index] == plain; });
    return 0;
  }

  void WriteParam(int index, float plain) override {
    hostValues_[index] = plain;
    known_[index] = true;
    write_(controller_, lv2ports::PortOfParam(index), sizeof(float), 0, &plain);
  }

  void Touch(int index, bool grabbed) override {
    if (touch_ != nullptr) touch_->touch(touch_->handle, lv2ports::PortOfParam(index), grabbed);
  }

  bool Resize(int width, int height) override {
    // A host without ui:resize keeps the widget's size: the editor takes the new size when
    // it next opens.
    if (resize_ == nullptr || resize_->ui_resize(resize_->handle, width, height) != 0) return false;
    window_.Resize(width, height);
    return true;
  }

 private:
  Ui(Instance& instance, LV2UI_Write_Function write, LV2UI_Controller controller, const LV2_Feature* const* features)
      : instance_(instance), write_(write), controller_(controller) {
    touch_ = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
    resize_ = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
    const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
    const auto* options = static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
    if (map == nullptr || options == nullptr) return;
    const LV2_URID scaleKey = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (int i = 0; options[i].key != 0; ++i) {
      if (options[i].key == scaleKey && options[i].type == floatType && options[i].size == sizeof(float) &&
          options[i].value != nullptr) {
        scaleFactor_ = *static_cast<const float*>(options[i].value);
      }
    }
  }

  bool Open(std::uintptr_t parent) {
    EffectLink& link = instance_.Link();
    // The host's display scale (ui:scaleFactor) stands in for the desktop's when the user's
    // Zoom is Auto.
    if (scaleFactor_ > 0) link.SetEditorScale(scaleFactor_);
    int width = 0;
    int height = 0;
    if (!link.HasEditor() || !link.EditorSize(&width, &height) || width <= 0 || height <= 0) return false;
    // One editor per plug-in object: a second UI of the same instance is refused.
    attached_ = instance_.AttachUi(this);
    if (!attached_ || !window_.Create(parent, width, height)) return false;
    opened_ = link.OpenEditor(window_.Id());
    if (!opened_) return false;
    if (resize_ != nullptr) resize_->ui_resize(resize_->handle, width, height);
    return true;
  }

  Instance& instance_;
  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  const LV2UI_Touch* touch_ = nullptr;
  const LV2UI_Resize* resize_ = nullptr;
  float scaleFactor_ = 0;
  UiWindow window_;
  bool attached_ = false;
  bool opened_ = false;
  float hostValues_[lv2ports::kParamCount] = {};
  bool known_[lv2ports::kParamCount] = {};
};

Ui* Of(LV2UI_Handle handle) { return static_cast<Ui*>(handle); }

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (pluginUri == nullptr || std::strcmp(pluginUri, lv2uris::kPlugin) != 0) return nullptr;
  try {
    std::unique_ptr<Ui> ui = Ui::Create(write, controller, features);
    if (ui == nullptr) return nullptr;
    if (widget != nullptr) *widget = ui->Widget();
    return ui.release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle) { delete Of(handle); }

void PortEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
  Of(handle)->PortEvent(port, size, format, buffer);
}

int Idle(LV2UI_Handle handle) { return Of(handle)->Idle(); }

const void* ExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface idle = {Idle};
  return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
}

const LV2UI_Descriptor kUiDescriptor = {lv2uris::kUi, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace
}  // namespace lv2

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
  return index == 0 ? &lv2::kUiDescriptor : nullptr;
}
