// The program browser's rows and scroll bars (alternative view). They show the panel's
// browser model (editor/Browser.h) and send their clicks to the panel.
#pragma once

#include <string>

#include "editor/controls/PanelControl.h"

namespace panel {

// A scroll bar: 17-pixel arrow areas at both ends and a thumb (white at alpha 32) that shows
// the page; a click before the thumb pages back, after it pages forward.
class IQMScrollControl : public IControl, public StateControl {
 public:
  IQMScrollControl(Tesvar* plug, const IRect& rect, int command, ListKind kind);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  bool Draw(IGraphics& graphics) override;
  bool RefreshLook() override;
  // The thumb in editor pixels (not visible over an empty list).
  ScrollThumb Thumb() const;
  // -1 back, +1 forward, 0 on the thumb, for a click at height y of the editor.
  int ClickDirection(int y) const;

 private:
  std::uint64_t Key() const;

  Tesvar* plug_;
  ListKind kind_;
  LookCache drawn_;
};

// One row of a browser list: its entry's number and name; the selected entry is highlighted.
// A click picks the row's bank or program (a program row past the list's end clears the
// selection).
class IQMScrollItemControl : public IControl {
 public:
  IQMScrollItemControl(Tesvar* plug, const IRect& rect, int command, ListKind kind, int row);
  void MouseDown(int x, int y, const IMouseMod& mod) override;
  bool Draw(IGraphics& graphics) override;
  // Takes the row's texts from the browser; redraws when they or the highlight changed.
  void SetEntry(const RowText& text);
  void Refresh();
  const RowText& Entry() const { return entry_; }
  bool Highlighted() const { return highlighted_; }
  const IRect& NumberRect() const { return numberRect_; }
  const IRect& NameRect() const { return nameRect_; }

 private:
  Tesvar* plug_;
  ListKind kind_;
  int row_;
  RowText entry_;
  bool highlighted_ = false;
  IRect numberRect_;
  IRect nameRect_;
};

}  // namespace panel
