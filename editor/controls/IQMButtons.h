// The panel's push buttons, lamps, hot spots and two-position switches. Each keeps its look
// (which bitmap, which frame) apart from drawing it: the Look() of a control is what Draw
// shows, and what the panel compares to decide whether it needs drawing again.
#pragma once

#include "editor/controls/PanelControl.h"
#include "editor/framework/Controls.h"

namespace panel {

// A lamp or label (EDIT LED, LEARN labels): frame 1 while the programmer lights its command,
// nothing otherwise; the LEARN label (120) shows frame 1 while learning and 2 while
// forgetting.
class IQMBitmapControl : public IControl, public StateControl {
 public:
  IQMBitmapControl(Tesvar* plug, int x, int y, int command, const IBitmap& bitmap);
  // The frame shown, 0 for none.
  int Look() const;
  bool Draw(IGraphics& graphics) override;
  bool RefreshLook() override;

 private:
  Tesvar* plug_;
  IBitmap bitmap_;
  int command_;
  LookCache drawn_;
};

// A hardware push button: a press runs its panel command (DOWN and UP keep repeating while
// held in parameter mode); it shows the lit bitmap while the programmer lights its command
// and frame 2 while pressed. FILE answers "not pressed" and never shows frame 2.
class IQMButtonKick : public IContactControl, public StateControl {
 public:
  IQMButtonKick(Tesvar* plug, int x, int y, int command, const IBitmap& unlit, const IBitmap& lit);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  void MouseUp(int x, int y, const IMouseMod& mod) override;
  bool Draw(IGraphics& graphics) override;
  bool RefreshLook() override;

  struct ButtonLook {
    bool lit = false;
    bool pressed = false;
    std::uint64_t Key() const { return (lit ? 1u : 0u) | (pressed ? 2u : 0u); }
  };
  ButtonLook Look() const;
  int Command() const { return command_; }

 protected:
  Tesvar* plug_;

 private:
  IBitmap lit_;
  int command_;
  bool pressed_ = false;
  bool right_ = false;
  LookCache drawn_;
};

// BROWSE: a push button that opens the program menu where it is released.
class IQMPresetMenu : public IQMButtonKick {
 public:
  IQMPresetMenu(Tesvar* plug, int x, int y, const IBitmap& bitmap, PanelMenus* menus);
  void MouseUp(int x, int y, const IMouseMod& mod) override;

 private:
  PanelMenus* menus_;
};

// MENU: opens the utility menu where it is pressed. The main view's button has a bitmap
// (frame 2 while hovered); the alternative view's is printed on the background.
class IQMOptionMenu : public IControl {
 public:
  IQMOptionMenu(Tesvar* plug, const IRect& rect, const IBitmap& bitmap, PanelMenus* menus);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  void MouseOver(int x, int y, const IMouseMod& mod) override;
  void MouseOut() override;
  bool Draw(IGraphics& graphics) override;
  // The frame shown, 0 for none.
  int Look() const;

 private:
  IBitmap bitmap_;
  PanelMenus* menus_;
  bool hover_ = false;
};

// An invisible hot spot that runs a panel command (the view switch, the alternative view's
// arrows and LEARN).
class IQMUtilityKick : public IControl {
 public:
  IQMUtilityKick(Tesvar* plug, const IRect& rect, int command);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  bool Draw(IGraphics& graphics) override { return true; }

 private:
  Tesvar* plug_;
  int command_;
};

// A two-position switch: "VCF Type" and "VCA EG Mode" (bound), or the browser's click mode
// (command 55: the lower position is COPY+PASTE).
class IQMSwitchControl : public ISwitchControl, public StateControl {
 public:
  IQMSwitchControl(Tesvar* plug, int x, int y, int number, const IBitmap& bitmap);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  bool Draw(IGraphics& graphics) override;
  bool RefreshLook() override;
  int Look() const;

 private:
  double ShownValue() const;

  Tesvar* plug_;
  LookCache drawn_;
};

}  // namespace panel
