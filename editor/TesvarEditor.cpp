// A first layout on the real framework: the two backgrounds and a row of knobs with value
// bars, enough to open, click and drag the editor in a host. The panel's full layout replaces
// it.
#include "editor/TesvarEditor.h"

#include "editor/framework/Controls.h"
#include "editor/framework/IGraphics.h"
#include "editor/framework/PlatformGraphics.h"
#include "engine/ParameterTable.h"

namespace {

// A bar whose filled part shows the value; drags and wheels as a knob. Draws without any
// artwork, so it also shows where a resource is missing.
class ValueBarControl : public IKnobMultiControl {
 public:
  ValueBarControl(IPlugBase* plug, const IRect& rect, int param)
      : IKnobMultiControl(plug, rect.L, rect.T, param, IBitmap{nullptr, rect.W(), rect.H(), 1}) {}
  bool Draw(IGraphics& graphics) override {
    const IRect& r = Rect();
    graphics.FillRect(IColor(255, 40, 40, 48), r);
    const int top = r.B - static_cast<int>(r.H() * Value() + 0.5);
    graphics.FillRect(IColor(255, 232, 120, 40), IRect(r.L, top, r.R, r.B));
    return true;
  }
};

struct KnobPlace {
  int param;
  int x;
};

// Volume, Tune, then the filter's cutoff and resonance and the first envelope's attack.
constexpr KnobPlace kKnobs[] = {{kVolume, 40}, {kTune, 120}, {kVcfCutoff, 200}, {kVcfResonance, 280}, {kEg1Attack, 360}};

}  // namespace

EditorView* CreateTesvarEditor(Tesvar& plug) {
  IGraphics* graphics = CreatePlatformGraphics(&plug, kEditorWidth, kEditorHeight);
  if (graphics == nullptr) return nullptr;
  graphics->HandleMouseOver(true);
  graphics->EnableTooltips(true);
  const IBitmap back = graphics->LoadPngResource(101, "resources/img/back.png");
  const IBitmap back2 = graphics->LoadPngResource(102, "resources/img/back2.png");
  const IBitmap knob = graphics->LoadPngResource(113, "resources/img/knob.png", 65);
  graphics->AddControl(new IBitmapControl(&plug, 0, 0, -107, back));
  IBitmapControl* alt = new IBitmapControl(&plug, 0, 0, -108, back2);
  graphics->AddControl(alt);
  alt->Hide(true);
  for (const KnobPlace& place : kKnobs) {
    IKnobMultiControl* control = new IKnobMultiControl(&plug, place.x, 300, place.param, knob);
    control->SetTooltip(plug.GetParam(place.param)->Name());
    graphics->AddControl(control);
    graphics->AddControl(new ValueBarControl(&plug, IRect(place.x + 10, 360, place.x + 30, 440), place.param));
  }
  return graphics;
}
