// Knobs, faders and the text toggle of the panel.
#include "editor/controls/IQMKnobs.h"

#include "editor/framework/IGraphics.h"

namespace panel {
namespace {

const IText kKnobReadout{"Arial", 14, IColor(255, 64, 255, 64)};
constexpr LICE_pixel kReadoutShade = IColor(160, 64, 64, 64);
const IText kFaderReadout{"Arial", 15, IColor(255, 224, 208, 192)};
const IText kToggleText{"Arial", 10, IColor(192, 192, 96, 96)};

// The style at its own size, or smaller (down to 9 points) where the text would not fit
// the width: a long value text ("Sawtooth", "12dB/Oct") would otherwise spill onto the next
// control, which a repaint of this one would not clean.
IText FittedText(IGraphics& graphics, IText style, const std::string& text, int width) {
  for (; style.size > 9; --style.size) {
    if (graphics.MeasureText(style, text.c_str(), IRect(0, 0, width, 100)).W() <= width) break;
  }
  return style;
}

}  // namespace

std::string ParamDisplayText(Tesvar& plug, int param, double normalised) {
  char text[kParamTextSize] = {};
  platform::Guard guard(plug.Lock());
  if (const ParamRecord* record = plug.GetParam(param)) record->GetDisplayText(normalised, true, text, true);
  return text;
}

// ---- IQMKnobControl -------------------------------------------------------------------------

IQMKnobControl::IQMKnobControl(Tesvar* plug, int x, int y, int param, const IBitmap& bitmap, double gearing)
    : IKnobMultiControl(plug, x, y, param, bitmap, IDirection::kVertical, gearing), plug_(plug) {}

void IQMKnobControl::MouseOver(int x, int y, const IMouseMod& mod) { SetHover(*this, hover_, true); }

void IQMKnobControl::MouseOut() { SetHover(*this, hover_, false); }

bool IQMKnobControl::Draw(IGraphics& graphics) {
  IKnobMultiControl::Draw(graphics);
  if (!ShowsReadout()) return true;
  const IRect& r = Rect();
  const IChannelBlend shade{IChannelBlend::Mode::kAlpha, 0.6f};
  graphics.FillCircle(kReadoutShade, r.L + r.W() / 2.0f, r.T + r.H() / 2.0f, r.W() / 2.0f, &shade);
  const std::string text = ParamDisplayText(*plug_, ParamIdx(), Value());
  return graphics.DrawText(FittedText(graphics, kKnobReadout, text, r.W()), text.c_str(),
                           IRect(r.L, r.T + 9, r.R, r.B));
}

// ---- IQMParamPanelControl -------------------------------------------------------------------

IQMParamPanelControl::IQMParamPanelControl(Tesvar* plug, int x, int y, int param, const IBitmap& handle,
                                           const IBitmap& track)
    : IFaderControl(plug, x, y, kLength, param, handle, IDirection::kVertical), plug_(plug), track_(track) {}

void IQMParamPanelControl::MouseDown(int x, int y, const IMouseMod& mod) {
  // A press picks the parameter for the programmer's displays and DOWN/UP; it does not
  // move the handle (a drag does).
  plug_->GetPanel().SelectParameter(ParamIdx());
}

void IQMParamPanelControl::MouseOver(int x, int y, const IMouseMod& mod) { SetHover(*this, hover_, true); }

void IQMParamPanelControl::MouseOut() { SetHover(*this, hover_, false); }

bool IQMParamPanelControl::Shown() const { return hover_ || plug_->Settings().showParameters; }

bool IQMParamPanelControl::Draw(IGraphics& graphics) {
  const bool shown = Shown();
  drawn_.Drawn(shown ? 1u : 0u);
  // Hidden: nothing is drawn, so the background's printed scale shows.
  if (!shown) return true;
  const IRect& r = Rect();
  graphics.Blit(track_, IRect(r.L, r.T, r.L + track_.FrameW(), r.T + track_.FrameH()), 0, 0, &Blend());
  const IRect handle = HandleRect();
  graphics.BlitFrame(handle_, handle, 1, &Blend());
  const std::string text = ParamDisplayText(*plug_, ParamIdx(), Value());
  // Between the handle's grips (7 pixels at each end).
  return graphics.DrawText(FittedText(graphics, kFaderReadout, text, handle.W() - 14), text.c_str(), handle);
}

bool IQMParamPanelControl::RefreshLook() { return drawn_.RedrawIfChanged(*this, Shown() ? 1u : 0u); }

// ---- IQMTextToggle --------------------------------------------------------------------------

IQMTextToggle::IQMTextToggle(Tesvar* plug, const IRect& rect, int param)
    : IControl(plug, rect, param), plug_(plug), shadow_(rect.Moved(1, 0)) {
  SetTextStyle(kToggleText);
}

void IQMTextToggle::MouseDown(int x, int y, const IMouseMod& mod) {
  SetValue(1.0 - Value());
  MarkDirty(true);
  Redraw();
}

bool IQMTextToggle::Draw(IGraphics& graphics) {
  const std::string text = ParamDisplayText(*plug_, ParamIdx(), Value());
  graphics.DrawText(Text(), text.c_str(), Rect());
  return graphics.DrawText(Text(), text.c_str(), shadow_);
}

}  // namespace panel
