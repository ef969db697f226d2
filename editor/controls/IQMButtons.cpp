// Push buttons, lamps, hot spots and switches of the panel.
#include "editor/controls/IQMButtons.h"

#include "editor/framework/IGraphics.h"

namespace panel {
namespace {

IRect FrameAt(int x, int y, const IBitmap& bitmap) { return IRect(x, y, x + bitmap.FrameW(), y + bitmap.FrameH()); }

}  // namespace

// ---- IQMBitmapControl -----------------------------------------------------------------------

IQMBitmapControl::IQMBitmapControl(Tesvar* plug, int x, int y, int command, const IBitmap& bitmap)
    : IControl(plug, FrameAt(x, y, bitmap), -command), plug_(plug), bitmap_(bitmap), command_(command) {}

int IQMBitmapControl::Look() const {
  Panel& panel = plug_->GetPanel();
  if (command_ == kLearnLabel) return panel.LearnLabelFrame();
  return panel.Lit(command_) ? 1 : 0;
}

bool IQMBitmapControl::Draw(IGraphics& graphics) {
  const int frame = Look();
  drawn_.Drawn(static_cast<std::uint64_t>(frame));
  return frame == 0 || graphics.BlitFrame(bitmap_, Rect(), frame, &Blend());
}

bool IQMBitmapControl::RefreshLook() { return drawn_.RedrawIfChanged(*this, static_cast<std::uint64_t>(Look())); }

// ---- IQMButtonKick --------------------------------------------------------------------------

IQMButtonKick::IQMButtonKick(Tesvar* plug, int x, int y, int command, const IBitmap& unlit, const IBitmap& lit)
    : IContactControl(plug, x, y, -command, unlit), plug_(plug), lit_(lit), command_(command) {}

void IQMButtonKick::MouseDown(int x, int y, const IMouseMod& mod) {
  SetValue(NextStepValue());
  MarkDirty(false);
  right_ = NotLeftClick(mod);
  Panel& panel = plug_->GetPanel();
  pressed_ = panel.Press(command_, right_, panel.Now());
  SetValue(pressed_ ? 1.0 : 0.0);
  Redraw();
}

void IQMButtonKick::MouseUp(int x, int y, const IMouseMod& mod) {
  SetValue(0.0);
  MarkDirty(false);
  plug_->GetPanel().Release();
  pressed_ = false;
  Redraw();
}

IQMButtonKick::ButtonLook IQMButtonKick::Look() const { return {plug_->GetPanel().Lit(command_), pressed_}; }

bool IQMButtonKick::Draw(IGraphics& graphics) {
  const ButtonLook look = Look();
  drawn_.Drawn(look.Key());
  return graphics.BlitFrame(look.lit ? lit_ : bitmap_, Rect(), look.pressed ? 2 : 1, &Blend());
}

bool IQMButtonKick::RefreshLook() { return drawn_.RedrawIfChanged(*this, Look().Key()); }

// ---- IQMPresetMenu --------------------------------------------------------------------------

IQMPresetMenu::IQMPresetMenu(Tesvar* plug, int x, int y, const IBitmap& bitmap, PanelMenus* menus)
    : IQMButtonKick(plug, x, y, kBrowse, bitmap, bitmap), menus_(menus) {}

void IQMPresetMenu::MouseUp(int x, int y, const IMouseMod& mod) {
  IQMButtonKick::MouseUp(x, y, mod);
  if (menus_ != nullptr && Graphics() != nullptr) menus_->ProgramMenu(*Graphics(), x, y);
}

// ---- IQMOptionMenu -------------------------------------------------------------------------

IQMOptionMenu::IQMOptionMenu(Tesvar* plug, const IRect& rect, const IBitmap& bitmap, PanelMenus* menus)
    : IControl(plug, rect, -kUtilityMenu), bitmap_(bitmap), menus_(menus) {}

void IQMOptionMenu::MouseDown(int x, int y, const IMouseMod& mod) {
  if (menus_ != nullptr && Graphics() != nullptr) menus_->UtilityMenu(*Graphics(), x, y);
}

void IQMOptionMenu::MouseOver(int x, int y, const IMouseMod& mod) { SetHover(*this, hover_, true); }

void IQMOptionMenu::MouseOut() { SetHover(*this, hover_, false); }

int IQMOptionMenu::Look() const {
  if (bitmap_.image == nullptr) return 0;
  return hover_ && bitmap_.N > 1 ? 2 : 1;
}

bool IQMOptionMenu::Draw(IGraphics& graphics) {
  const int frame = Look();
  return frame == 0 || graphics.BlitFrame(bitmap_, Rect(), frame, &Blend());
}

// ---- IQMUtilityKick -------------------------------------------------------------------------

IQMUtilityKick::IQMUtilityKick(Tesvar* plug, const IRect& rect, int command)
    : IControl(plug, rect, -command), plug_(plug), command_(command) {}

void IQMUtilityKick::MouseDown(int x, int y, const IMouseMod& mod) {
  plug_->GetPanel().RunCommand(command_, NotLeftClick(mod));
}

// ---- IQMSwitchControl -----------------------------------------------------------------------

IQMSwitchControl::IQMSwitchControl(Tesvar* plug, int x, int y, int number, const IBitmap& bitmap)
    : ISwitchControl(plug, x, y, number, bitmap), plug_(plug) {}

void IQMSwitchControl::MouseDown(int x, int y, const IMouseMod& mod) {
  SetValue(NextStepValue());
  if (ParamIdx() == -kClickMode) {
    plug_->GetPanel().SetClickMode(Value() < 0.5 ? ClickMode::kCopyPaste : ClickMode::kSelect);
  }
  MarkDirty(true);  // a bound switch tells the plug-in
  Redraw();
}

double IQMSwitchControl::ShownValue() const {
  if (ParamIdx() != -kClickMode) return Value();
  return plug_->GetPanel().GetBrowser().Mode() == ClickMode::kCopyPaste ? 0.0 : 1.0;
}

int IQMSwitchControl::Look() const { return FrameForValue(ShownValue(), bitmap_.N); }

bool IQMSwitchControl::Draw(IGraphics& graphics) {
  if (ParamIdx() == -kClickMode) SetValue(ShownValue());
  const int frame = Look();
  drawn_.Drawn(static_cast<std::uint64_t>(frame));
  return graphics.BlitFrame(bitmap_, Rect(), frame, &Blend());
}

bool IQMSwitchControl::RefreshLook() { return drawn_.RedrawIfChanged(*this, static_cast<std::uint64_t>(Look())); }

}  // namespace panel
