// LED displays, the voices digits and the program name.
#include "editor/controls/IQMDisplays.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "editor/controls/IQMKnobs.h"
#include "editor/framework/IGraphics.h"

namespace panel {
namespace {

IRect DigitAt(int x, int y, const IBitmap& digits) { return IRect(x, y, x + digits.FrameW(), y + digits.FrameH()); }

// Digit bitmaps: frames 1 to 10 are 0 to 9, 11 the minus, 12 blank; nibble n is frame n + 1.
int DigitFrame(int nibble) { return std::clamp(nibble, 0, kBlankDigit) + 1; }

}  // namespace

// ---- IQMNumberDisplay -----------------------------------------------------------------------

IQMNumberDisplay::IQMNumberDisplay(Tesvar* plug, const IRect& rect, int display, const IBitmap& digits)
    : IControl(plug, rect, -display), plug_(plug), digits_(digits), display_(display) {}

bool IQMNumberDisplay::Draw(IGraphics& graphics) {
  const int code = Look();
  drawn_.Drawn(static_cast<std::uint64_t>(code));
  const IRect& r = Rect();
  graphics.FillRect(kColorTransparent, r);
  graphics.BlitFrame(digits_, DigitAt(r.L + 7, r.T + 6, digits_), DigitFrame(code >> 4), &Blend());
  return graphics.BlitFrame(digits_, DigitAt(r.L + 40, r.T + 6, digits_), DigitFrame(code & 15), &Blend());
}

bool IQMNumberDisplay::RefreshLook() { return drawn_.RedrawIfChanged(*this, static_cast<std::uint64_t>(Look())); }

// ---- IQMVoicesControl -----------------------------------------------------------------------

IQMVoicesControl::IQMVoicesControl(Tesvar* plug, const IRect& rect, int param, const IBitmap& digits)
    : IControl(plug, rect, param), plug_(plug), digits_(digits) {}

std::uint64_t IQMVoicesControl::Key(const std::array<int, 4>& digits) {
  std::uint64_t key = 0;
  for (int d : digits) key = (key << 8) | static_cast<std::uint8_t>(d);
  return key;
}

bool IQMVoicesControl::Draw(IGraphics& graphics) {
  const std::array<int, 4> digits = Look();
  drawn_.Drawn(Key(digits));
  const IRect& r = Rect();
  graphics.FillRect(kColorTransparent, r);
  constexpr int kOffsets[4] = {10, 23, 35, 48};
  for (int i = 0; i < 4; ++i) {
    graphics.BlitFrame(digits_, DigitAt(r.L + kOffsets[i], r.T + 10, digits_), DigitFrame(digits[i]), &Blend());
  }
  return true;
}

bool IQMVoicesControl::RefreshLook() { return drawn_.RedrawIfChanged(*this, Key(Look())); }

int IQMVoicesControl::FirstMenuSetting() const {
  platform::Guard guard(plug_->Lock());
  return static_cast<int>(plug_->GetParam(kMode)->Value()) == 1 ? 2 : 0;
}

void IQMVoicesControl::SendSetting(double plain) {
  double normalised = 0.0;
  {
    platform::Guard guard(plug_->Lock());
    const ParamRecord* param = plug_->GetParam(ParamIdx());
    normalised = param->ToNormalised(std::clamp(plain, param->Min(), param->Max()));
  }
  SetValue(normalised);
  MarkDirty(true);
}

void IQMVoicesControl::MouseDown(int x, int y, const IMouseMod& mod) {
  if (Graphics() == nullptr) return;
  const int first = FirstMenuSetting();
  int inForce = 0;
  {
    platform::Guard guard(plug_->Lock());
    // In Chord mode the engine may play fewer voices than the parameter asks for.
    inForce = plug_->Engine().Layout().voicesSetting;
  }
  IPopupMenu menu;
  const ParamRecord* param = plug_->GetParam(ParamIdx());
  for (int setting = first; setting < 8; ++setting) {
    const std::string text = ParamDisplayText(*plug_, ParamIdx(), param->ToNormalised(setting));
    menu.AddItem(text.c_str(), setting == inForce ? IPopupMenu::kChecked : IPopupMenu::kNoFlags);
  }
  const IPopupMenu* picked = Graphics()->PopupMenu(menu, Rect());
  if (picked != nullptr && picked->ChosenItemIndex() >= 0) SendSetting(first + picked->ChosenItemIndex());
}

void IQMVoicesControl::MouseWheel(int x, int y, const IMouseMod& mod, int steps) {
  if (steps == 0) return;
  double plain = 0.0;
  {
    platform::Guard guard(plug_->Lock());
    const ParamRecord* param = plug_->GetParam(ParamIdx());
    plain = param->Value() + (steps > 0 ? param->Step() : -param->Step());
  }
  SendSetting(plain);
}

// ---- IQMPresetName --------------------------------------------------------------------------

IQMPresetName::IQMPresetName(Tesvar* plug, const IRect& rect) : IControl(plug, rect), plug_(plug) {
  SetTextStyle(IText{"Arial", rect.H() >= 42 ? 20 : 16, IColor(192, 84, 192, 84)});
  SetTextEntryLimit(kNameLimit);
}

std::string IQMPresetName::Look() const {
  platform::Guard guard(plug_->Lock());
  return plug_->ProgramName(plug_->CurrentProgram()).substr(0, 30);
}

bool IQMPresetName::Draw(IGraphics& graphics) {
  const std::string name = Look();
  drawn_.Drawn(TextLook(name.c_str()));
  return name.empty() || graphics.DrawText(Text(), name.c_str(), Rect());
}

bool IQMPresetName::RefreshLook() { return drawn_.RedrawIfChanged(*this, TextLook(Look().c_str())); }

void IQMPresetName::MouseDown(int x, int y, const IMouseMod& mod) {
  if (Graphics() != nullptr) Graphics()->OpenTextEntry(this, Text(), Rect(), Look().c_str());
}

void IQMPresetName::TextFromEntry(const char* text) {
  const std::string name(text, text != nullptr ? std::min<std::size_t>(std::strlen(text), kNameLimit) : 0);
  {
    platform::Guard guard(plug_->Lock());
    plug_->ModifyCurrentPreset(name.c_str());
    plug_->SelectPreset(plug_->CurrentProgram());
    plug_->ReportProgramChange();
    plug_->ReportAllParams();
  }
  Redraw();
}

}  // namespace panel
