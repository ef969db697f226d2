#include "editor/framework/x11/X11EntryBox.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>

#include "editor/framework/x11/IGraphicsX11.h"

namespace x11 {

namespace {
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

EntryBox::EntryBox(IGraphicsX11& editor, const TextEntry& entry, const IText& style)
    : editor_(editor), entry_(entry), style_(style), surface_(editor.Connection()), text_(entry.InitialText()) {
  cursor_ = text_.size();
  anchor_ = 0;  // the whole text starts selected
}

bool EntryBox::Open(const IRect& rect) {
  if (!surface_.Create(editor_.EditorWindow(), rect, Surface::Kind::kChild,
                       ExposureMask | ButtonPressMask | ButtonReleaseMask)) {
    return false;
  }
  Redraw();
  return true;
}

int EntryBox::PrefixWidth(std::size_t bytes) const {
  if (bytes == 0) return 0;
  IText style = style_;
  const std::string prefix = text_.substr(0, bytes);
  LICE_IFont* font = LICE_GetFont(style.font, style.size, style.style == IText::Style::kBold ? 700 : 400,
                                  style.style == IText::Style::kItalic);
  if (font == nullptr) return 0;
  LICE_MemBitmap scratch(1, 1);
  LICE_Rect r{0, 0, 0, 0};
  font->DrawText(&scratch, prefix.c_str(), -1, &r, LICE_TEXT_MEASURE, 0);
  return r.right - r.left;
}

int EntryBox::TextLeft() const {
  const int width = PrefixWidth(text_.size());
  switch (style_.align) {
    case IText::Align::kNear: return 2;
    case IText::Align::kFar: return surface_.Width() - 3 - width;
    default: return (surface_.Width() - width) / 2;
  }
}

void EntryBox::Redraw() {
  if (!surface_.IsOpen()) return;
  LICE_IBitmap* b = surface_.Bitmap();
  const int w = surface_.Width();
  const int h = surface_.Height();
  LICE_Clear(b, style_.entryBackground | 0xFF000000u);
  LICE_DrawRect(b, LICE_Rect{0, 0, w, h}, IColor(255, 96, 96, 96), 1.0f, LICE_BlendMode::kCopy);
  const int left = TextLeft();
  const std::size_t from = std::min(cursor_, anchor_);
  const std::size_t to = std::max(cursor_, anchor_);
  if (to > from) {
    const LICE_Rect selection{left + PrefixWidth(from), 2, left + PrefixWidth(to), h - 2};
    LICE_FillRect(b, selection, IColor(255, 120, 160, 230), 1.0f, LICE_BlendMode::kCopy);
  }
  LICE_IFont* font = LICE_GetFont(style_.font, style_.size, style_.style == IText::Style::kBold ? 700 : 400,
                                  style_.style == IText::Style::kItalic);
  if (font != nullptr) {
    LICE_Rect r{left, 0, w, h};
    font->DrawText(b, text_.c_str(), -1, &r, LICE_TEXT_LEFT | LICE_TEXT_VCENTER, style_.entryText | 0xFF000000u);
  }
  const int cx = left + PrefixWidth(cursor_);
  LICE_FillRect(b, LICE_Rect{cx, 3, cx + 1, h - 3}, style_.entryText | 0xFF000000u, 1.0f, LICE_BlendMode::kCopy);
  surface_.PresentAll();
}

void EntryBox::Insert(const char* text) {
  std::string accepted;
  for (const char* p = text; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == 0x7F || !entry_.Accepts(c)) continue;
    accepted.push_back(static_cast<char>(c));
  }
  const std::size_t from = std::min(cursor_, anchor_);
  const std::size_t to = std::max(cursor_, anchor_);
  text_.erase(from, to - from);
  const std::size_t room =
      static_cast<std::size_t>(entry_.Limit()) - std::min(text_.size(), static_cast<std::size_t>(entry_.Limit()));
  std::size_t take = std::min(accepted.size(), room);
  while (take > 0 && take < accepted.size() && IsContinuation(accepted[take])) --take;  // whole characters only
  text_.insert(from, accepted, 0, take);
  cursor_ = anchor_ = from + take;
}

void EntryBox::Backspace() {
  if (cursor_ != anchor_) return Insert("");
  if (cursor_ == 0) return;
  std::size_t start = cursor_ - 1;
  while (start > 0 && IsContinuation(text_[start])) --start;
  text_.erase(start, cursor_ - start);
  cursor_ = anchor_ = start;
}

void EntryBox::Delete() {
  if (cursor_ != anchor_) return Insert("");
  if (cursor_ >= text_.size()) return;
  std::size_t end = cursor_ + 1;
  while (end < text_.size() && IsContinuation(text_[end])) ++end;
  text_.erase(cursor_, end - cursor_);
}

void EntryBox::Move(int to, bool extend) {
  std::size_t position = static_cast<std::size_t>(std::clamp(to, 0, static_cast<int>(text_.size())));
  while (position > 0 && position < text_.size() && IsContinuation(text_[position])) {
    position += to > static_cast<int>(cursor_) ? 1 : -1;
  }
  cursor_ = position;
  if (!extend) anchor_ = position;
}

void EntryBox::HandleEvent(XEvent& event) {
  if (event.type == Expose) {
    Redraw();
    return;
  }
  if (event.type == ButtonPress && event.xbutton.button == Button1) {
    // The cursor goes to the character boundary nearest the click.
    const int x = event.xbutton.x - TextLeft();
    std::size_t best = 0;
    for (std::size_t i = 0; i <= text_.size(); ++i) {
      if (i < text_.size() && IsContinuation(text_[i])) continue;
      if (std::abs(PrefixWidth(i) - x) < std::abs(PrefixWidth(best) - x)) best = i;
    }
    Move(static_cast<int>(best), (event.xbutton.state & ShiftMask) != 0);
    editor_.SetTextEntryState(TextEntry::kFocused);
    Redraw();
    return;
  }
  if (event.type != KeyPress) return;
  char text[32] = {};
  KeySym sym = NoSymbol;
  const int length = XLookupString(&event.xkey, text, sizeof(text) - 1, &sym, nullptr);
  text[std::max(length, 0)] = '\0';
  const bool shift = (event.xkey.state & ShiftMask) != 0;
  const bool ctrl = (event.xkey.state & ControlMask) != 0;
  const int cursor = static_cast<int>(cursor_);
  switch (sym) {
    case XK_Return:
    case XK_KP_Enter: editor_.SetTextEntryState(TextEntry::kCommit); return;
    case XK_Escape: editor_.SetTextEntryState(TextEntry::kCancel); return;
    case XK_BackSpace: Backspace(); break;
    case XK_Delete:
    case XK_KP_Delete: Delete(); break;
    case XK_Left: Move(cursor - 1, shift); break;
    case XK_Right: Move(cursor + 1, shift); break;
    case XK_Home: Move(0, shift); break;
    case XK_End: Move(static_cast<int>(text_.size()), shift); break;
    default:
      if (ctrl && (sym == XK_a || sym == XK_A)) {
        anchor_ = 0;
        cursor_ = text_.size();
      } else if (ctrl && (sym == XK_v || sym == XK_V)) {
        std::string pasted;
        if (editor_.ClipboardText(pasted)) Insert(pasted.c_str());
      } else if (!ctrl && length > 0) {
        Insert(text);
      }
      break;
  }
  editor_.SetTextEntryState(TextEntry::kFocused);
  Redraw();
}

void EntryBox::Read(char* text, int size) const {
  const std::size_t n = std::min(text_.size(), static_cast<std::size_t>(size - 1));
  text_.copy(text, n);
  text[n] = '\0';
}

}  // namespace x11
