// The framework controls' drawing and mouse rules.
#include "editor/framework/Controls.h"

#include <algorithm>
#include <cmath>

#include "editor/framework/IGraphics.h"

int FrameForValue(double value, int frames) {
  frames = std::max(frames, 1);
  const double position = std::round((frames - 1) * value) + 1.0;
  if (!(position >= 1.0)) return 1;  // also a NaN value
  return position > frames ? frames : static_cast<int>(position);
}

double WheelStep(const IMouseMod& mod, int steps) { return steps * ((mod.shift || mod.ctrl) ? 0.001 : 0.01); }

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                               const IChannelBlend& blend)
    : IControl(plug, IRect(x, y, x + bitmap.FrameW(), y + bitmap.FrameH()), paramIdx, blend), bitmap_(bitmap) {}

bool IBitmapControl::Draw(IGraphics& graphics) {
  return graphics.BlitFrame(bitmap_, Rect(), FrameForValue(Value(), bitmap_.N), &Blend());
}

double ISwitchControl::NextStepValue() const {
  const double step = bitmap_.N > 1 ? 1.0 / (bitmap_.N - 1) : 1.0;
  const double next = Value() + step;
  return next > 1.001 ? 0.0 : next;
}

void ISwitchControl::MouseDown(int x, int y, const IMouseMod& mod) {
  SetValue(NextStepValue());
  MarkDirty(true);
}

IKnobControl::IKnobControl(IPlugBase* plug, const IRect& rect, int paramIdx, IDirection direction, double gearing)
    : IControl(plug, rect, paramIdx), direction_(direction), gearing_(gearing > 0.0 ? gearing : kDefaultGearing) {}

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                                     IDirection direction, double gearing)
    : IKnobControl(plug, IRect(x, y, x + bitmap.FrameW(), y + bitmap.FrameH()), paramIdx, direction, gearing),
      bitmap_(bitmap) {}

void IKnobMultiControl::MouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {
  const double gearing = (mod.shift || mod.ctrl) ? gearing_ * 10.0 : gearing_;
  double d;
  double extent;
  if (direction_ == IDirection::kVertical) {
    d = dy;
    extent = Rect().T - Rect().B;
  } else {
    d = dx;
    extent = Rect().R - Rect().L;
  }
  if (extent == 0.0) return;
  SetValue(Value() + d / extent / gearing);
  MarkDirty(true);
}

void IKnobMultiControl::MouseWheel(int x, int y, const IMouseMod& mod, int steps) {
  SetValue(Value() + WheelStep(mod, steps));
  MarkDirty(true);
}

bool IKnobMultiControl::Draw(IGraphics& graphics) {
  return graphics.BlitFrame(bitmap_, Rect(), FrameForValue(Value(), bitmap_.N), &Blend());
}

namespace {
IRect FaderRect(int x, int y, int length, const IBitmap& handle, IDirection direction) {
  if (direction == IDirection::kVertical) return IRect(x, y, x + handle.FrameW(), y + length);
  return IRect(x, y, x + length, y + handle.FrameH());
}
}  // namespace

IFaderControl::IFaderControl(IPlugBase* plug, int x, int y, int length, int paramIdx, const IBitmap& handle,
                             IDirection direction, bool onlyHandle)
    : IControl(plug, FaderRect(x, y, length, handle, direction), paramIdx),
      length_(length),
      handle_(handle),
      direction_(direction),
      onlyHandle_(onlyHandle) {}

IRect IFaderControl::HandleRect() const {
  const IRect& r = Rect();
  if (direction_ == IDirection::kVertical) {
    const int h = handle_.FrameH();
    const int top = r.T + static_cast<int>(std::lround((length_ - h) * (1.0 - Value())));
    return IRect(r.L, top, r.L + handle_.FrameW(), top + h);
  }
  const int w = handle_.FrameW();
  const int left = r.L + static_cast<int>(std::lround((length_ - w) * Value()));
  return IRect(left, r.T, left + w, r.T + handle_.FrameH());
}

void IFaderControl::SnapToPointer(int x, int y) {
  const IRect& r = Rect();
  if (direction_ == IDirection::kVertical) {
    const double handle = handle_.FrameH();
    if (length_ - handle <= 0.0) return;
    SetValue(1.0 - (y - r.T - handle / 2.0) / (length_ - handle));
  } else {
    const double handle = handle_.FrameW();
    if (length_ - handle <= 0.0) return;
    SetValue((x - r.L - handle / 2.0) / (length_ - handle));
  }
  MarkDirty(true);
}

void IFaderControl::MouseDown(int x, int y, const IMouseMod& mod) { SnapToPointer(x, y); }

void IFaderControl::MouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) { SnapToPointer(x, y); }

void IFaderControl::MouseWheel(int x, int y, const IMouseMod& mod, int steps) {
  SetValue(Value() + WheelStep(mod, steps));
  MarkDirty(true);
}

bool IFaderControl::Draw(IGraphics& graphics) {
  const IRect handle = HandleRect();
  return graphics.Blit(handle_, handle, 0, 0, &Blend());
}

bool IFaderControl::IsHit(int x, int y) const {
  if (onlyHandle_) return HandleRect().Contains(x, y);
  return IControl::IsHit(x, y);
}

IPanelControl::IPanelControl(IPlugBase* plug, const IRect& rect, LICE_pixel color)
    : IControl(plug, rect), color_(color) {}

bool IPanelControl::Draw(IGraphics& graphics) { return graphics.FillRect(color_, Rect(), &Blend()); }

ITextControl::ITextControl(IPlugBase* plug, const IRect& rect, const IText& style, const char* text)
    : IControl(plug, rect), text_(text != nullptr ? text : "") {
  SetTextStyle(style);
}

bool ITextControl::Draw(IGraphics& graphics) {
  if (text_.empty()) return true;
  return graphics.DrawText(Text(), text_.c_str(), Rect());
}

void ITextControl::SetTextFromPlugin(const char* text) {
  const char* t = text != nullptr ? text : "";
  if (text_ == t) return;
  text_ = t;
  Redraw();
  MarkDirty(false);
}
