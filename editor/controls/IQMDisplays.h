// The panel's read-outs: the LED digit displays, the voices digits with their menu, and the
// program name with its text entry.
#pragma once

#include <array>
#include <string>

#include "editor/controls/PanelControl.h"

namespace panel {

// Two LED digits showing one of the programmer's display codes (115 program number, 116
// parameter number, 117 parameter value).
class IQMNumberDisplay : public IControl, public StateControl {
 public:
  IQMNumberDisplay(Tesvar* plug, const IRect& rect, int display, const IBitmap& digits);
  bool Draw(IGraphics& graphics) override;
  bool RefreshLook() override;
  int Look() const { return plug_->GetPanel().DisplayCode(display_); }

 private:
  Tesvar* plug_;
  IBitmap digits_;
  int display_;
  LookCache drawn_;
};

// "Voices": four small digits, the voices per note and a minus (Chord and Unison) and the
// polyphony. A click offers the settings in a menu, the wheel steps them.
class IQMVoicesControl : public IControl, public StateControl {
 public:
  IQMVoicesControl(Tesvar* plug, const IRect& rect, int param, const IBitmap& digits);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  void MouseWheel(int x, int y, const IMouseMod& mod, int steps) override;
  bool Draw(IGraphics& graphics) override;
  bool RefreshLook() override;
  std::array<int, 4> Look() const { return plug_->GetPanel().VoicesDigits(); }
  // The settings the menu offers: Chord mode starts at 2, the others at 0; all end at 7.
  int FirstMenuSetting() const;

 private:
  static std::uint64_t Key(const std::array<int, 4>& digits);
  void SendSetting(double plain);

  Tesvar* plug_;
  IBitmap digits_;
  LookCache drawn_;
};

// The current program's name; a click opens a text entry whose result renames the program
// (28 characters at most), stores the current values into it and tells the host.
class IQMPresetName : public IControl, public StateControl {
 public:
  static constexpr int kNameLimit = 28;
  IQMPresetName(Tesvar* plug, const IRect& rect);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  void TextFromEntry(const char* text) override;
  bool Draw(IGraphics& graphics) override;
  bool RefreshLook() override;
  // What it shows: at most 30 bytes of the name, empty without a current program.
  std::string Look() const;

 private:
  Tesvar* plug_;
  LookCache drawn_;
};

}  // namespace panel
