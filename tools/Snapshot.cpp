// The editor's own picture of one view: the panel built by the product's editor factory in a
// headless window, driven like a user would (view switch, mouse), painted whole.
#include "tools/Snapshot.h"

#include <algorithm>
#include <string>

#include "editor/PanelLayout.h"
#include "editor/framework/IGraphicsHeadless.h"
#include "vst2/VstAbi.h"

namespace snapshot {
namespace {

std::intptr_t VST_CALL QuietHost(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

}  // namespace

EditorView* HeadlessEditor(Tesvar& plug) {
  return panel::AttachPanel(new IGraphicsHeadless(&plug, kWidth, kHeight), plug, nullptr);
}

std::unique_ptr<Tesvar> MakeInstance() { return std::make_unique<Tesvar>(QuietHost, HeadlessEditor); }

bool Apply(Tesvar& plug, const Options& options, std::string* error) {
  if (options.program >= 0) {
    if (!plug.ValidProgram(options.program)) {
      *error = "no program " + std::to_string(options.program);
      return false;
    }
    plug.SwitchProgram(options.program);
  }
  for (const auto& [index, plain] : options.params) {
    const ParamRecord* param = plug.GetParam(index);
    if (param == nullptr) {
      *error = "no parameter " + std::to_string(index);
      return false;
    }
    const double value = std::clamp(plain, param->Min(), param->Max());
    plug.SetParamFromEditor(index, param->ToNormalised(value));
    // As a control would show it had the user set it there.
    if (plug.Editor() != nullptr) plug.Editor()->ShowParamValue(index, plug.GetParam(index)->Value(), false);
  }
  if (options.showParameters >= 0) plug.SetShowParameters(options.showParameters == 1);
  return true;
}

bool Draw(Tesvar& plug, const Options& options, LICE_IBitmap* out) {
  auto* graphics = dynamic_cast<IGraphicsHeadless*>(plug.Editor());
  if (graphics == nullptr) return false;
  // A host that keeps its window's size takes a new scale at the next opening.
  if (graphics->SetUserZoom(options.scale) == IGraphics::ScaleChange::kDeferred) graphics->Close();
  static int parent = 0;  // a headless window needs no real parent
  if (!graphics->IsWindowOpen() && !graphics->Open(&parent)) return false;
  const int width = graphics->Width();
  const int height = graphics->Height();
  if (!out->Resize(width, height)) return false;
  panel::Panel& panel = plug.GetPanel();
  if (panel.AltView() != (options.view == View::kAlt)) panel.RunCommand(panel::kViewSwitch, false);
  if (options.hover) {
    graphics->OnPointerMove(graphics->ToDevice(options.hoverX), graphics->ToDevice(options.hoverY), IMouseMod{});
  } else {
    graphics->OnMouseOut();
  }
  graphics->Tick();
  graphics->Paint(IRect(0, 0, width, height));
  LICE_Blit(out, graphics->BackBuffer(), 0, 0, 0, 0, width, height, 1.0f, LICE_BlendMode::kCopy);
  return true;
}

}  // namespace snapshot
