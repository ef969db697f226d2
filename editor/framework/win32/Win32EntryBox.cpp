// The Windows text entry: a system edit control (id 99) over the control, subclassed so that
// focus changes, Return and Escape drive the entry's states and typed characters pass the
// parameter's filter.
#include "editor/framework/win32/IGraphicsWin.h"

#include "editor/framework/win32/Win32Window.h"

namespace {

constexpr int kEntryId = 99;

LRESULT CALLBACK EntryBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(box, GWLP_USERDATA));
  if (editor == nullptr) return DefWindowProcA(box, message, wParam, lParam);
  return editor->HandleEntryMessage(box, message, wParam, lParam);
}

}  // namespace

bool IGraphicsWin::CreateTextEntryBox(const TextEntry& entry, const IRect& rect, const IText& style) {
  if (hwnd_ == nullptr || entryBox_ != nullptr) return false;
  const DWORD align = style.align == IText::Align::kNear  ? ES_LEFT
                      : style.align == IText::Align::kFar ? ES_RIGHT
                                                          : ES_CENTER;
  HWND box = CreateWindowExA(0, "EDIT", entry.InitialText(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | align, rect.L,
                             rect.T, rect.W(), rect.H(), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryId)),
                             win32ui::OwnModule(), nullptr);
  if (box == nullptr) return false;
  entryFont_ = CreateFontA(style.size, 0, 0, 0, style.style == IText::Style::kBold ? FW_BOLD : FW_NORMAL,
                           style.style == IText::Style::kItalic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           style.font != nullptr ? style.font : "Verdana");
  if (entryFont_ != nullptr) SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), FALSE);
  entryText_ = win32ui::ColorRef(style.entryText);
  entryBackground_ = win32ui::ColorRef(style.entryBackground);
  entryBrush_ = CreateSolidBrush(entryBackground_);
  SendMessageA(box, EM_LIMITTEXT, static_cast<WPARAM>(entry.Limit()), 0);
  SendMessageA(box, EM_SETSEL, 0, -1);
  entryBox_ = box;
  SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  entryPreviousProc_ = SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EntryBoxProc));
  SetFocus(box);  // WM_SETFOCUS: state 1
  return true;
}

void IGraphicsWin::ReadTextEntryBox(char* text, int size) {
  if (size <= 0) return;
  text[0] = '\0';
  if (entryBox_ != nullptr) GetWindowTextA(entryBox_, text, size);
  text[size - 1] = '\0';
}

void IGraphicsWin::DestroyTextEntryBox() {
  HWND box = entryBox_;
  if (box == nullptr) return;
  entryBox_ = nullptr;
  // The box goes back to its own procedure: nothing of its ending reaches the entry's states.
  SetWindowLongPtrA(box, GWLP_WNDPROC, entryPreviousProc_);
  SetWindowLongPtrA(box, GWLP_USERDATA, 0);
  if (GetFocus() == box && hwnd_ != nullptr) SetFocus(hwnd_);
  DestroyWindow(box);
  FreeEntryResources();
}

void IGraphicsWin::FreeEntryResources() {
  if (entryFont_ != nullptr) DeleteObject(entryFont_);
  if (entryBrush_ != nullptr) DeleteObject(entryBrush_);
  entryFont_ = nullptr;
  entryBrush_ = nullptr;
}

std::intptr_t IGraphicsWin::HandleEntryMessage(HWND box, unsigned int message, std::uintptr_t wParam,
                                               std::intptr_t lParam) {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  const auto previous = reinterpret_cast<WNDPROC>(entryPreviousProc_);
  if (previous == nullptr) return DefWindowProcA(box, message, wParam, lParam);
  if (box == entryBox_) {
    switch (message) {
      case WM_SETFOCUS: SetTextEntryState(TextEntry::kFocused); break;
      case WM_KILLFOCUS: SetTextEntryState(TextEntry::kCommit); break;
      case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
          SetTextEntryState(TextEntry::kCommit);
          return 0;
        }
        if (wParam == VK_ESCAPE) {
          SetTextEntryState(TextEntry::kCancel);
          return 0;
        }
        break;
      case WM_CHAR:
        // Return and Escape were handled as keys (no beep); other characters pass the filter.
        if (wParam == '\r' || wParam == '\n' || wParam == 27) return 0;
        if (wParam != '\b' && !Entry().Accepts(static_cast<unsigned int>(wParam))) return 0;
        break;
      default: break;
    }
  }
  return CallWindowProcA(previous, box, message, wParam, lParam);
}
