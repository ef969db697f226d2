// The framework's own controls: bitmap strips, switches, knobs, faders, panels and texts.
// The panel's controls derive from these. User-interface thread only, like IControl.
#pragma once

#include <string>

#include "editor/framework/IControl.h"

enum class IDirection { kVertical, kHorizontal };

// The frame of a strip that shows a value: clamp(round((frames - 1) * value) + 1, 1, frames).
int FrameForValue(double value, int frames);

// One frame of a bitmap strip at a place; the frame follows the value.
class IBitmapControl : public IControl {
 public:
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap, const IChannelBlend& blend = {});
  bool Draw(IGraphics& graphics) override;
  const IBitmap& Bitmap() const { return bitmap_; }

 protected:
  IBitmap bitmap_;
};

// Each click steps the value by one frame and wraps past the last one.
class ISwitchControl : public IBitmapControl {
 public:
  using IBitmapControl::IBitmapControl;
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  void MouseDoubleClick(int x, int y, const IMouseMod& mod) override { MouseDown(x, y, mod); }

 protected:
  // The value one step on, wrapped back to 0 past the end (no other effect).
  double NextStepValue() const;
};

// A push contact (the panel's buttons derive from it).
class IContactControl : public ISwitchControl {
 public:
  using ISwitchControl::ISwitchControl;
};

class IKnobControl : public IControl {
 public:
  static constexpr double kDefaultGearing = 4.0;
  IKnobControl(IPlugBase* plug, const IRect& rect, int paramIdx, IDirection direction = IDirection::kVertical,
               double gearing = kDefaultGearing);
  IDirection Direction() const { return direction_; }
  double Gearing() const { return gearing_; }

 protected:
  IDirection direction_;
  double gearing_;
};

// A knob drawn from a strip of frames. Dragging up (or right) raises the value; Shift or Ctrl
// make the drag and the wheel ten times finer.
class IKnobMultiControl : public IKnobControl {
 public:
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IBitmap& bitmap,
                    IDirection direction = IDirection::kVertical, double gearing = kDefaultGearing);
  void MouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
  void MouseWheel(int x, int y, const IMouseMod& mod, int steps) override;
  bool Draw(IGraphics& graphics) override;
  const IBitmap& Bitmap() const { return bitmap_; }

 protected:
  IBitmap bitmap_;
};

// A fader: a handle that moves along `length` pixels and snaps its centre to the pointer.
class IFaderControl : public IControl {
 public:
  IFaderControl(IPlugBase* plug, int x, int y, int length, int paramIdx, const IBitmap& handle,
                IDirection direction = IDirection::kVertical, bool onlyHandle = false);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  void MouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
  void MouseWheel(int x, int y, const IMouseMod& mod, int steps) override;
  bool Draw(IGraphics& graphics) override;
  bool IsHit(int x, int y) const override;
  // Where the handle stands for the current value.
  IRect HandleRect() const;
  int Length() const { return length_; }
  const IBitmap& Handle() const { return handle_; }

 protected:
  void SnapToPointer(int x, int y);

  int length_;
  IBitmap handle_;
  IDirection direction_;
  bool onlyHandle_;
};

// A rectangle filled with one colour.
class IPanelControl : public IControl {
 public:
  IPanelControl(IPlugBase* plug, const IRect& rect, LICE_pixel color);
  bool Draw(IGraphics& graphics) override;

 private:
  LICE_pixel color_;
};

// A line of text in the control's style.
class ITextControl : public IControl {
 public:
  ITextControl(IPlugBase* plug, const IRect& rect, const IText& style, const char* text = "");
  bool Draw(IGraphics& graphics) override;
  // New text; redrawn on the next tick when it changed.
  void SetTextFromPlugin(const char* text);
  const std::string& GetText() const { return text_; }

 private:
  std::string text_;
};

// The shared mouse-wheel rule of knobs and faders: steps x 0.01, x 0.001 with Shift or Ctrl.
double WheelStep(const IMouseMod& mod, int steps);
