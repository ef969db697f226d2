// The one-line text entry of the Linux editor: a child window over the control with a
// cursor, a selection, backspace and delete, the entry's character filter and limit.
// Return commits, Escape cancels; a click elsewhere on the editor commits (IGraphics).
#pragma once

#include <string>

#include "editor/framework/IGraphicsTypes.h"

#include "editor/framework/x11/X11Surface.h"

class IGraphicsX11;
class TextEntry;

namespace x11 {

class EntryBox {
 public:
  EntryBox(IGraphicsX11& editor, const TextEntry& entry, const IText& style);
  bool Open(const IRect& rect);
  void Abandon() { surface_.Abandon(); }
  Window Id() const { return surface_.Id(); }
  void HandleEvent(XEvent& event);
  // The text, at most size - 1 bytes, terminated.
  void Read(char* text, int size) const;
  void Redraw();
  // Editing, for the keys and for tests of the rules.
  void Insert(const char* text);
  void Backspace();
  void Delete();
  void Move(int to, bool extend);
  const std::string& Text() const { return text_; }

 private:
  int PrefixWidth(std::size_t bytes) const;
  int TextLeft() const;

  IGraphicsX11& editor_;
  const TextEntry& entry_;
  IText style_;
  Surface surface_;
  std::string text_;
  std::size_t cursor_ = 0;
  std::size_t anchor_ = 0;
};

}  // namespace x11
