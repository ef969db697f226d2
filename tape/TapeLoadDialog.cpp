// The tape load dialog: drawing, clicks, value entry and the import.
#include "tape/TapeLoadDialog.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "editor/framework/IGraphics.h"
#include "engine/Tesvar.h"

namespace {

// Texts sit vertically centred in their rectangles.
void DrawCentredText(IGraphics& graphics, const IText& style, const std::string& text, const IRect& rect) {
  const IRect measured = graphics.MeasureText(style, text.c_str(), rect);
  const int top = rect.T + (rect.H() - measured.H()) / 2;
  graphics.DrawText(style, text.c_str(), IRect(rect.L, top, rect.R, top + measured.H()));
}

std::string Whole(double value) {
  const int length = std::snprintf(nullptr, 0, "%.0f", value);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  std::snprintf(text.data(), text.size() + 1, "%.0f", value);
  return text;
}

// The number at the start of an entered text, as the C run time reads a decimal number
// (blanks and a sign first), in any locale; 0 when there is none or it is not finite.
double ReadNumber(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  if (*text == '+') ++text;
  double value = 0.0;
  const char* end = text + std::strlen(text);
  const std::from_chars_result result = std::from_chars(text, end, value, std::chars_format::fixed);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return value;
}

}  // namespace

IQMTapeLoadDialog::IQMTapeLoadDialog(Tesvar* plug) : IPanelControl(plug, kDialog, kPanelColor), plug_(plug) {
  labelStyle_.font = "Arial";
  labelStyle_.size = 16;
  labelStyle_.color = kColorBlack;
  labelStyle_.align = IText::Align::kNear;
  valueStyle_.font = "Verdana";
  valueStyle_.size = 12;
  valueStyle_.color = kColorBlack;
  valueStyle_.align = IText::Align::kCenter;
}

bool IQMTapeLoadDialog::Draw(IGraphics& graphics) {
  const tape::TapeReadSettings& settings = shell::SharedTapeReadSettings();
  highPassText_ = Whole(settings.highPassHz);
  lowPassText_ = Whole(settings.lowPassHz);
  thresholdText_ = Whole(settings.thresholdPercent);
  const IRect& r = Rect();
  graphics.FillRect(kPanelColor, r);
  graphics.DrawRect(kColorWhite, r);

  struct Row {
    const char* label;
    IRect labelRect;
    bool shown;
    IRect box;
    IRect text;
    const std::string& value;
    IRect unitRect;
    const char* unit;
  };
  const Row rows[] = {
      {"HIGHPASS", kHighPassLabel, settings.highPassEnabled, kHighPassBox, kHighPassText, highPassText_, kHighPassUnit,
       "Hz"},
      {"LOWPASS", kLowPassLabel, settings.lowPassEnabled, kLowPassBox, kLowPassText, lowPassText_, kLowPassUnit, "Hz"},
      {"THRESHOLD", kThresholdLabel, true, kThresholdBox, kThresholdText, thresholdText_, kThresholdUnit, "%"},
  };
  for (const Row& row : rows) {
    DrawCentredText(graphics, labelStyle_, row.label, row.labelRect);
    if (!row.shown) continue;
    graphics.FillRect(kColorWhite, row.box);
    DrawCentredText(graphics, valueStyle_, row.value, row.text);
    DrawCentredText(graphics, labelStyle_, row.unit, row.unitRect);
  }
  const float cx = static_cast<float>(r.L + 118);
  graphics.FillCircle(settings.highPassEnabled ? kIndicatorOn : kGrey, cx, static_cast<float>(r.T + 36),
                      kIndicatorRadius);
  graphics.FillCircle(settings.lowPassEnabled ? kIndicatorOn : kGrey, cx, static_cast<float>(r.T + 76),
                      kIndicatorRadius);
  graphics.FillRect(hoverOk_ ? kColorWhite : kGrey, kOkButton);
  graphics.FillRect(hoverCancel_ ? kColorWhite : kGrey, kCancelButton);
  DrawCentredText(graphics, valueStyle_, "OK", kOkText);
  DrawCentredText(graphics, valueStyle_, "CANCEL", kCancelText);
  return true;
}

void IQMTapeLoadDialog::MouseDown(int x, int y, const IMouseMod& mod) {
  tape::TapeReadSettings& settings = shell::SharedTapeReadSettings();
  if (kOkButton.Contains(x, y)) {
    Load();
  } else if (kCancelButton.Contains(x, y)) {
    Hide(true);
  } else if (kHighPassSwitch.Contains(x, y)) {
    settings.highPassEnabled = !settings.highPassEnabled;
  } else if (kLowPassSwitch.Contains(x, y)) {
    settings.lowPassEnabled = !settings.lowPassEnabled;
  } else if (kHighPassBox.Contains(x, y)) {
    // Also while the filter is off and its box is not drawn.
    OpenEntry(kHighPassTarget, kHighPassText, settings.highPassHz);
  } else if (kLowPassBox.Contains(x, y)) {
    OpenEntry(kLowPassTarget, kLowPassText, settings.lowPassHz);
  } else if (kThresholdBox.Contains(x, y)) {
    OpenEntry(kThresholdTarget, kThresholdText, settings.thresholdPercent);
  }
  Redraw();
}

void IQMTapeLoadDialog::OpenEntry(Target target, const IRect& textRect, double value) {
  target_ = target;
  if (Graphics() != nullptr) Graphics()->OpenTextEntry(this, valueStyle_, textRect, Whole(value).c_str());
}

void IQMTapeLoadDialog::MouseOver(int x, int y, const IMouseMod& mod) {
  hoverOk_ = kOkButton.Contains(x, y);
  hoverCancel_ = kCancelButton.Contains(x, y);
  Redraw();
}

void IQMTapeLoadDialog::MouseOut() {
  hoverOk_ = false;
  hoverCancel_ = false;
  Redraw();
}

void IQMTapeLoadDialog::TextFromEntry(const char* text) {
  if (text == nullptr) return;
  // Frequencies keep five characters, the threshold two.
  const std::size_t keep = target_ == kThresholdTarget ? 2 : 5;
  std::size_t length = 0;
  while (length < keep && text[length] != '\0') ++length;
  const std::string kept(text, length);
  const double value = ReadNumber(kept.c_str());
  tape::TapeReadSettings& settings = shell::SharedTapeReadSettings();
  if (value > 0.0) {
    if (target_ == kHighPassTarget) settings.highPassHz = value;
    if (target_ == kLowPassTarget) settings.lowPassHz = value;
    if (target_ == kThresholdTarget) settings.thresholdPercent = value;
  }
  Redraw();
}

void IQMTapeLoadDialog::Load() {
  IGraphics* graphics = Graphics();
  if (graphics == nullptr) return;
  std::string path;
  std::string folder = plug_->Settings().programFilesPath;
  graphics->PromptFile(path, false, folder, "wav");
  if (path.empty()) {
    Hide(true);
    return;
  }
  if (!plug_->LoadTapeDump(path)) {
    // Open still: the settings can be changed and OK pressed again.
    graphics->ShowMessage("Cannot load file!", "Error", IMessageButtons::kOK);
    return;
  }
  graphics->ShowMessage("Poly-61 tape dump was successfully loaded.", "Tape Dump Loaded", IMessageButtons::kOK);
  Hide(true);
}
