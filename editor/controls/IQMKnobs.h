// The panel's value controls: knobs with a readout while hovered, the main view's faders
// (shown on hover or with "Show Parameters" on) and the text toggle.
#pragma once

#include <string>

#include "editor/Layout.h"
#include "editor/controls/PanelControl.h"
#include "editor/framework/Controls.h"

namespace panel {

// The display text of a parameter for a normalised value, without its label (read under the
// plug-in lock: the "Voices" texts follow the mode, which the audio thread may change).
std::string ParamDisplayText(Tesvar& plug, int param, double normalised);

// A knob from a strip of frames. Continuous knobs (gearing above 1) show a dark circle and
// the value while hovered; stepped knobs (rotary switches, gearing 1) never do.
class IQMKnobControl : public IKnobMultiControl {
 public:
  IQMKnobControl(Tesvar* plug, int x, int y, int param, const IBitmap& bitmap, double gearing);
  void MouseOver(int x, int y, const IMouseMod& mod) override;
  void MouseOut() override;
  bool Draw(IGraphics& graphics) override;
  bool ShowsReadout() const { return gearing_ > 1.0 && hover_; }

 private:
  Tesvar* plug_;
  bool hover_ = false;
};

// A fader of the main view's parameter matrix: pressing it selects its parameter in the
// programmer (parameter mode) without moving it; dragging moves the handle. It shows its
// track, handle and value only while hovered or with "Show Parameters" on; otherwise the
// printed scale of the background shows through.
class IQMParamPanelControl : public IFaderControl, public StateControl {
 public:
  static constexpr int kLength = panel::kFaderLength;
  IQMParamPanelControl(Tesvar* plug, int x, int y, int param, const IBitmap& handle, const IBitmap& track);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  void MouseOver(int x, int y, const IMouseMod& mod) override;
  void MouseOut() override;
  bool Draw(IGraphics& graphics) override;
  bool RefreshLook() override;
  bool Shown() const;

 private:
  Tesvar* plug_;
  IBitmap track_;
  bool hover_ = false;
  LookCache drawn_;
};

// A two-state parameter shown as its display text with a shadow; a click flips it.
class IQMTextToggle : public IControl {
 public:
  IQMTextToggle(Tesvar* plug, const IRect& rect, int param);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  bool Draw(IGraphics& graphics) override;

 private:
  Tesvar* plug_;
  IRect shadow_;
};

}  // namespace panel
