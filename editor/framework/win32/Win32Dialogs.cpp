// The Windows editor's modal parts and services: pop-up menus, message boxes, file and colour
// dialogs, web pages, the clipboard, folders and the cursor. Menus, boxes and dialogs are
// ended with no answer when the editor closes while they are up.
#include "editor/framework/win32/IGraphicsWin.h"

#include "editor/framework/win32/Win32Window.h"
#include "platform/win32/WideText.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstring>

namespace win32ui {

HINSTANCE OwnModule() {
  static const HINSTANCE module = [] {
    static const char anchor = 0;
    HMODULE m = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, &anchor,
                       &m);
    return m;
  }();
  return module;
}

}  // namespace win32ui

namespace {

// Menu texts are shown as they are: an ampersand is not a mnemonic.
std::string MenuText(const std::string& text) {
  std::string shown;
  for (char c : text) {
    if (c == '&') shown += '&';
    shown += c;
  }
  return shown;
}

// Native menu commands are identifier + 1: TrackPopupMenu answers 0 for a dismissed menu.
HMENU BuildMenu(const IPopupMenu& menu, int& nextId) {
  HMENU native = CreatePopupMenu();
  if (native == nullptr) return nullptr;
  for (int i = 0; i < menu.ItemCount(); ++i) {
    const IPopupMenu::Item* item = menu.GetItem(i);
    const int id = nextId++;
    const std::string text = MenuText(menu.DisplayText(i));
    UINT flags = (item->Enabled() ? MF_ENABLED : MF_GRAYED) | (item->Checked() ? MF_CHECKED : MF_UNCHECKED);
    if (item->IsSeparator()) {
      AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
    } else if (item->submenu) {
      HMENU sub = BuildMenu(*item->submenu, nextId);
      AppendMenuA(native, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      AppendMenuA(native, flags | MF_STRING, static_cast<UINT_PTR>(id + 1), text.c_str());
    }
  }
  return native;
}

struct DialogSearch {
  HWND owner;
  bool box;
};

// Ends the system dialogs ("#32770": message boxes, file and colour dialogs) of this thread
// that the editor's owner window holds. A box ends with 0 (no answer); a dialog is cancelled
// as its Cancel button would.
BOOL CALLBACK EndDialogOf(HWND window, LPARAM lParam) {
  const auto* search = reinterpret_cast<const DialogSearch*>(lParam);
  char name[16] = {};
  GetClassNameA(window, name, sizeof(name));
  if (std::strcmp(name, "#32770") != 0 || GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  if (search->box) {
    EndDialog(window, 0);
  } else {
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  }
  return TRUE;
}

// The folder part of a path, up to and including its last backslash.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ModulePath(HMODULE module) {
  char buffer[MAX_PATH * 4] = {};
  const DWORD length = GetModuleFileNameA(module, buffer, sizeof(buffer));
  if (length == 0 || length >= sizeof(buffer)) return {};  // failed or cut
  return std::string(buffer, length);
}

std::string ShellFolder(int csidl) {
  char buffer[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)) || buffer[0] == '\0') return {};
  std::string folder = buffer;
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

// Records which modal loop is up, so that a close can end it.
class IGraphicsWin::ModalScope {
 public:
  ModalScope(IGraphicsWin& graphics, Modal kind)
      : graphics_(graphics), kind_(graphics.modal_), owner_(graphics.modalOwner_) {
    graphics.modal_ = kind;
    graphics.modalOwner_ = graphics.topLevel_;
  }
  ~ModalScope() {
    graphics_.modal_ = kind_;
    graphics_.modalOwner_ = owner_;
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  IGraphicsWin& graphics_;
  Modal kind_;
  HWND owner_;
};

void IGraphicsWin::EndModal() {
  if (modal_ == Modal::kMenu) {
    EndMenu();
  } else if (modal_ != Modal::kNone && modalOwner_ != nullptr) {
    DialogSearch search{modalOwner_, modal_ == Modal::kBox};
    EnumThreadWindows(GetCurrentThreadId(), EndDialogOf, reinterpret_cast<LPARAM>(&search));
  }
}

int IGraphicsWin::TrackPopupMenu(IPopupMenu& menu, int x, int y) {
  if (hwnd_ == nullptr || ClosePending()) return -1;
  int nextId = 0;
  HMENU native = BuildMenu(menu, nextId);
  if (native == nullptr) return -1;
  POINT p{x, y};
  ClientToScreen(hwnd_, &p);
  int command = 0;
  {
    ModalScope scope(*this, Modal::kMenu);
    command = ::TrackPopupMenu(native, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                               p.x, p.y, 0, hwnd_, nullptr);
  }
  DestroyMenu(native);
  if (hwnd_ == nullptr || command <= 0) return -1;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  return command - 1;
}

int IGraphicsWin::ShowMessage(const char* text, const char* caption, IMessageButtons buttons) {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  if (hwnd_ == nullptr || ClosePending()) return kMessageNone;
  int answer = 0;
  {
    ModalScope scope(*this, Modal::kBox);
    const UINT style = buttons == IMessageButtons::kYesNo           ? MB_YESNO
                       : buttons == IMessageButtons::kOKInformation ? MB_OK | MB_ICONINFORMATION
                       : buttons == IMessageButtons::kOKError       ? MB_OK | MB_ICONERROR
                                                                    : MB_OK;
    answer = MessageBoxA(topLevel_, text != nullptr ? text : "", caption != nullptr ? caption : "", style);
  }
  // A box ended by closing the editor answers nothing.
  if (hwnd_ == nullptr) return kMessageNone;
  switch (answer) {
    case IDOK: return kMessageOK;
    case IDYES: return kMessageYes;
    case IDNO: return kMessageNo;
    default: return kMessageNone;
  }
}

bool IGraphicsWin::RunFileDialog(const IFileRequest& request, std::string& path) {
  if (hwnd_ == nullptr) return false;
  char file[MAX_PATH * 4] = {};
  request.fileName.copy(file, sizeof(file) - 1);
  // The pattern serves as both the description and the filter ("*.fxp;*.fxb").
  std::string filter;
  if (!request.pattern.empty()) {
    filter = request.pattern;
    filter += '\0';
    filter += request.pattern;
    filter += '\0';
  }
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = topLevel_;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();  // c_str adds the final terminator
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof(file);
  ofn.lpstrInitialDir = request.folder.empty() ? nullptr : request.folder.c_str();
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  // The host's working folder stays as it was.
  ofn.Flags =
      OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  BOOL chosen = FALSE;
  {
    ModalScope scope(*this, Modal::kDialog);
    chosen = request.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  }
  if (!chosen || hwnd_ == nullptr) return false;
  file[sizeof(file) - 1] = '\0';
  path = file;
  return !path.empty();
}

bool IGraphicsWin::PromptColor(LICE_pixel& color) {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  if (hwnd_ == nullptr || ClosePending()) return false;
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof(choose);
  choose.hwndOwner = topLevel_;
  choose.rgbResult = win32ui::ColorRef(color);
  choose.lpCustColors = reinterpret_cast<COLORREF*>(customColors_);
  choose.Flags = CC_RGBINIT | CC_ANYCOLOR;
  BOOL chosen = FALSE;
  {
    ModalScope scope(*this, Modal::kDialog);
    chosen = ChooseColorA(&choose);
  }
  if (!chosen || hwnd_ == nullptr) return false;
  color = LICE_RGBA(GetRValue(choose.rgbResult), GetGValue(choose.rgbResult), GetBValue(choose.rgbResult),
                    LICE_GETA(color));
  return true;
}

bool IGraphicsWin::LaunchUrl(const char* url) {
  DWORD state = 0;
  if (!InternetGetConnectedState(&state, 0)) return false;
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(hwnd_, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

bool IGraphicsWin::ClipboardText(std::string& text) {
  if (!OpenClipboard(hwnd_)) return false;
  bool found = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      // Bounded by the memory block, whether or not the text in it is terminated.
      const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
      std::size_t length = 0;
      while (length < capacity && wide[length] != L'\0') ++length;
      text = platform::win32::Utf8FromWide(std::wstring(wide, length));
      found = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return found;
}

// ---- Folders and cursor ---------------------------------------------------------------------

std::string IGraphicsWin::HostFolder() { return FolderOf(ModulePath(nullptr)); }
std::string IGraphicsWin::PluginFolder() { return FolderOf(ModulePath(win32ui::OwnModule())); }
std::string IGraphicsWin::DesktopFolder() { return ShellFolder(CSIDL_DESKTOPDIRECTORY); }
std::string IGraphicsWin::AppDataFolder(bool common) {
  return ShellFolder(common ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA);
}

void IGraphicsWin::HideCursor() {
  if (cursorHidden_) return;
  POINT p{};
  GetCursorPos(&p);
  savedCursorX_ = p.x;
  savedCursorY_ = p.y;
  ShowCursor(FALSE);
  cursorHidden_ = true;
}

void IGraphicsWin::RestoreCursor() {
  if (!cursorHidden_) return;
  SetCursorPos(savedCursorX_, savedCursorY_);
  ShowCursor(TRUE);
  cursorHidden_ = false;
}
