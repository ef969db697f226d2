// The tape load dialog: a grey panel over the editor that shows and edits the process-wide
// tape-read settings (high-pass and low-pass on/off and frequency, threshold) and, on OK,
// asks for a WAV recording and imports its tape dump into the 64 programs. The editor
// layout adds it last (drawn over both views) and hidden; the utility command "Load
// Poly-61 Tape Dump" shows it. User-interface thread only, like every control.
#pragma once

#include <string>

#include "editor/framework/Controls.h"

class Tesvar;

class IQMTapeLoadDialog : public IPanelControl {
 public:
  // Edit targets of the text entry.
  enum Target : int { kNoTarget = 0, kHighPassTarget = 1, kLowPassTarget = 2, kThresholdTarget = 3 };

  // Places in editor pixels.
  static constexpr IRect kDialog{388, 194, 644, 394};
  static constexpr IRect kHighPassLabel{413, 222, 493, 236};
  static constexpr IRect kHighPassSwitch{498, 222, 514, 238};
  static constexpr IRect kHighPassBox{524, 218, 596, 242};
  static constexpr IRect kHighPassText{542, 222, 578, 240};
  static constexpr IRect kHighPassUnit{599, 222, 623, 236};
  static constexpr IRect kLowPassLabel{413, 262, 493, 276};
  static constexpr IRect kLowPassSwitch{498, 262, 514, 278};
  static constexpr IRect kLowPassBox{524, 258, 596, 282};
  static constexpr IRect kLowPassText{542, 262, 578, 280};
  static constexpr IRect kLowPassUnit{599, 262, 623, 276};
  static constexpr IRect kThresholdLabel{413, 302, 493, 316};
  static constexpr IRect kThresholdBox{524, 298, 596, 322};
  static constexpr IRect kThresholdText{551, 302, 569, 320};
  static constexpr IRect kThresholdUnit{599, 302, 623, 316};
  static constexpr IRect kOkButton{412, 354, 508, 378};
  static constexpr IRect kOkText{412, 358, 508, 378};
  static constexpr IRect kCancelButton{524, 354, 620, 378};
  static constexpr IRect kCancelText{524, 358, 620, 378};
  static constexpr int kIndicatorRadius = 8;

  static constexpr LICE_pixel kPanelColor = IColor(255, 192, 192, 192);
  static constexpr LICE_pixel kIndicatorOn = IColor(255, 0, 255, 0);
  static constexpr LICE_pixel kGrey = IColor(255, 127, 127, 127);

  explicit IQMTapeLoadDialog(Tesvar* plug);

  void MouseDown(int x, int y, const IMouseMod& mod) override;
  void MouseOver(int x, int y, const IMouseMod& mod) override;
  void MouseOut() override;
  bool Draw(IGraphics& graphics) override;
  // The committed text of the entry opened on a value box.
  void TextFromEntry(const char* text) override;

  int EditTarget() const { return target_; }
  bool HoverOk() const { return hoverOk_; }
  bool HoverCancel() const { return hoverCancel_; }

 private:
  // OK: a WAV file is chosen and imported; the dialog closes unless the import failed.
  void Load();
  void OpenEntry(Target target, const IRect& textRect, double value);

  Tesvar* plug_;
  int target_ = kNoTarget;
  std::string highPassText_;
  std::string lowPassText_;
  std::string thresholdText_;
  bool hoverOk_ = false;
  bool hoverCancel_ = false;
  IText labelStyle_;
  IText valueStyle_;
};
