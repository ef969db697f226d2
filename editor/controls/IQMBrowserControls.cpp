// The browser's scroll bars and rows.
#include "editor/controls/IQMBrowserControls.h"

#include "editor/framework/IGraphics.h"

namespace panel {
namespace {

constexpr LICE_pixel kThumbColor = IColor(32, 255, 255, 255);
constexpr LICE_pixel kRowShade = IColor(16, 255, 255, 255);
constexpr LICE_pixel kRowHighlight = IColor(32, 255, 255, 255);
// Numbers stand right-aligned before the names, which read from the left like a list.
const IText kNumberText{"Arial", 14, IColor(128, 255, 255, 255), IText::Style::kNormal, IText::Align::kFar};
const IText kNumberSelected{"Arial", 14, IColor(192, 255, 255, 255), IText::Style::kNormal, IText::Align::kFar};
const IText kNameText{"Arial", 14, IColor(128, 255, 255, 255), IText::Style::kNormal, IText::Align::kNear};
const IText kNameSelected{"Arial", 14, IColor(192, 255, 255, 255), IText::Style::kNormal, IText::Align::kNear};

}  // namespace

// ---- IQMScrollControl -----------------------------------------------------------------------

IQMScrollControl::IQMScrollControl(Tesvar* plug, const IRect& rect, int command, ListKind kind)
    : IControl(plug, rect, -command), plug_(plug), kind_(kind) {}

ScrollThumb IQMScrollControl::Thumb() const {
  ScrollThumb thumb = plug_->GetPanel().GetBrowser().Thumb(kind_, Rect().H());
  thumb.top += Rect().T;
  return thumb;
}

int IQMScrollControl::ClickDirection(int y) const {
  const IRect& r = Rect();
  if (y < r.T + Browser::kArrowHeight) return -1;
  if (y >= r.B - Browser::kArrowHeight) return 1;
  const ScrollThumb thumb = Thumb();
  if (!thumb.visible) return 0;
  if (y < thumb.top) return -1;
  return y >= thumb.top + thumb.height ? 1 : 0;
}

void IQMScrollControl::MouseDown(int x, int y, const IMouseMod& mod) {
  const int direction = ClickDirection(y);
  if (direction != 0) plug_->GetPanel().ScrollBrowser(kind_, direction > 0);
}

std::uint64_t IQMScrollControl::Key() const {
  const ScrollThumb thumb = Thumb();
  return thumb.visible ? (static_cast<std::uint64_t>(thumb.top) << 16 | static_cast<std::uint64_t>(thumb.height)) : 0;
}

bool IQMScrollControl::Draw(IGraphics& graphics) {
  drawn_.Drawn(Key());
  const ScrollThumb thumb = Thumb();
  // An empty list has no thumb.
  if (!thumb.visible) return true;
  return graphics.FillRect(kThumbColor, IRect(Rect().L, thumb.top, Rect().R, thumb.top + thumb.height));
}

bool IQMScrollControl::RefreshLook() { return drawn_.RedrawIfChanged(*this, Key()); }

// ---- IQMScrollItemControl -------------------------------------------------------------------

IQMScrollItemControl::IQMScrollItemControl(Tesvar* plug, const IRect& rect, int command, ListKind kind, int row)
    : IControl(plug, rect, -command),
      plug_(plug),
      kind_(kind),
      row_(row),
      numberRect_(rect.L, rect.T + 1, rect.L + 20, rect.B),
      nameRect_(rect.L + 22, rect.T + 1, rect.R - 1, rect.B) {}

void IQMScrollItemControl::SetEntry(const RowText& text) {
  const bool highlighted = text.hasEntry && plug_->GetPanel().GetBrowser().SelectedRow(kind_) == row_;
  if (text.hasEntry == entry_.hasEntry && text.number == entry_.number && text.name == entry_.name &&
      highlighted == highlighted_) {
    return;
  }
  entry_ = text;
  highlighted_ = highlighted;
  SetTooltip(entry_.name.c_str());
  Redraw();
}

void IQMScrollItemControl::Refresh() { SetEntry(plug_->GetPanel().GetBrowser().Row(kind_, row_)); }

void IQMScrollItemControl::MouseDown(int x, int y, const IMouseMod& mod) {
  Panel& panel = plug_->GetPanel();
  if (kind_ == ListKind::kFiles) {
    if (entry_.hasEntry) panel.PickBank(row_);
  } else {
    panel.PickProgram(row_);  // an empty row clears the selection
  }
  Redraw();
}

bool IQMScrollItemControl::Draw(IGraphics& graphics) {
  if (!entry_.hasEntry) return true;
  graphics.FillRect(kRowShade, nameRect_);
  if (highlighted_) graphics.FillRect(kRowHighlight, nameRect_);
  graphics.DrawText(highlighted_ ? kNumberSelected : kNumberText, entry_.number.c_str(), numberRect_);
  return graphics.DrawText(highlighted_ ? kNameSelected : kNameText, entry_.name.c_str(), nameRect_);
}

}  // namespace panel
