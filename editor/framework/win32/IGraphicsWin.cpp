// The Windows editor window: the window class, opening and closing on the right thread, the
// message handling, painting, the timer, keys and tooltips.
#include "editor/framework/win32/IGraphicsWin.h"

#include "editor/framework/PlatformGraphics.h"
#include "editor/framework/win32/Win32Window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <mutex>

namespace {

constexpr const char* kClassName = "IPlugWndClass";
constexpr UINT_PTR kTimerId = 2;
// Asks the window's own thread to close the window (sent by a close from another thread).
constexpr UINT kCloseRequest = WM_USER + 0x151;
// How long a close from another thread waits for the window's thread to answer.
constexpr UINT kCloseWaitMs = 2000;

// ---- Screen scale -------------------------------------------------------------------------------
// The per-monitor DPI functions exist from Windows 8.1 / 10 on: they are looked up at run time,
// so the library still loads on older systems, which then give the system DPI.

constexpr UINT kDpiChanged = 0x02E0;             // WM_DPICHANGED (top-level windows)
constexpr UINT kDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT (child windows)
using DpiContext = HANDLE;
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE, and the hosting
// behaviour that lets a window of another awareness live in the host's window.
const DpiContext kPerMonitorV2 = reinterpret_cast<DpiContext>(static_cast<LONG_PTR>(-4));
const DpiContext kPerMonitor = reinterpret_cast<DpiContext>(static_cast<LONG_PTR>(-3));
constexpr int kDpiHostingMixed = 1;

struct DpiFunctions {
  DpiContext(WINAPI* setThreadContext)(DpiContext) = nullptr;
  int(WINAPI* setThreadHosting)(int) = nullptr;
  UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
  HRESULT(WINAPI* dpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;  // shcore, MDT_EFFECTIVE_DPI = 0
};

template <typename F>
void FindProc(F& function, HMODULE module, const char* name) {
  if (module != nullptr) function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DpiFunctions& Dpi() {
  static const DpiFunctions functions = [] {
    DpiFunctions f;
    HMODULE user = GetModuleHandleA("user32.dll");
    FindProc(f.setThreadContext, user, "SetThreadDpiAwarenessContext");
    FindProc(f.setThreadHosting, user, "SetThreadDpiHostingBehavior");
    FindProc(f.dpiForWindow, user, "GetDpiForWindow");
    FindProc(f.dpiForMonitor, LoadLibraryA("shcore.dll"), "GetDpiForMonitor");
    return f;
  }();
  return functions;
}

// Makes this thread per-monitor aware for its lifetime (window creation and DPI queries),
// then puts back what the host had.
class PerMonitorAware {
 public:
  PerMonitorAware() {
    const DpiFunctions& f = Dpi();
    if (f.setThreadHosting != nullptr) oldHosting_ = f.setThreadHosting(kDpiHostingMixed);
    if (f.setThreadContext != nullptr) {
      old_ = f.setThreadContext(kPerMonitorV2);
      if (old_ == nullptr) old_ = f.setThreadContext(kPerMonitor);
    }
  }
  ~PerMonitorAware() {
    const DpiFunctions& f = Dpi();
    if (old_ != nullptr) f.setThreadContext(old_);
    if (oldHosting_ >= 0 && f.setThreadHosting != nullptr) f.setThreadHosting(oldHosting_);
  }
  PerMonitorAware(const PerMonitorAware&) = delete;
  PerMonitorAware& operator=(const PerMonitorAware&) = delete;

 private:
  DpiContext old_ = nullptr;
  int oldHosting_ = -1;
};

// The DPI of the monitor that shows `window` (the primary one without a window), as a
// per-monitor aware thread sees it; the system DPI where the system has no per-monitor DPI.
UINT MonitorDpi(HWND window) {
  const PerMonitorAware aware;
  const DpiFunctions& f = Dpi();
  if (window != nullptr && f.dpiForWindow != nullptr) {
    // A window of an unaware host answers 96 whatever its monitor: its monitor decides.
    if (f.dpiForMonitor == nullptr) return f.dpiForWindow(window);
  }
  if (f.dpiForMonitor != nullptr) {
    const POINT origin{0, 0};
    HMONITOR monitor = window != nullptr ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                         : MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
    UINT x = 0;
    UINT y = 0;
    if (monitor != nullptr && SUCCEEDED(f.dpiForMonitor(monitor, 0, &x, &y)) && x > 0) return x;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (editor == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  return editor->HandleMessage(hwnd, message, wParam, lParam);
}

// The window class: registered when the first editor window of the process opens, removed
// when the last one has closed. A class that cannot be removed yet (a window of it is still
// being destroyed) stays registered and is reused.
struct WindowClass {
  std::mutex mutex;
  int open = 0;
  int registrations = 0;
  bool registered = false;
};

WindowClass& Class() {
  static WindowClass windowClass;
  return windowClass;
}

bool AcquireClass() {
  WindowClass& c = Class();
  std::lock_guard<std::mutex> guard(c.mutex);
  if (!c.registered) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = EditorWindowProc;
    wc.hInstance = win32ui::OwnModule();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    if (RegisterClassExA(&wc) == 0) {
      // A class left by an earlier load of this library at another address: replace it.
      if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS || !UnregisterClassA(kClassName, wc.hInstance) ||
          RegisterClassExA(&wc) == 0) {
        return false;
      }
    }
    c.registered = true;
    ++c.registrations;
  }
  ++c.open;
  return true;
}

void TidyClass(WindowClass& c) {
  if (c.open == 0 && c.registered && UnregisterClassA(kClassName, win32ui::OwnModule())) c.registered = false;
}

void ReleaseClass() {
  WindowClass& c = Class();
  std::lock_guard<std::mutex> guard(c.mutex);
  if (c.open > 0) --c.open;
  TidyClass(c);
}

void TidyClass() {
  WindowClass& c = Class();
  std::lock_guard<std::mutex> guard(c.mutex);
  TidyClass(c);
}

IMouseMod ModFromKeys(WPARAM keys) {
  IMouseMod mod;
  mod.left = (keys & MK_LBUTTON) != 0;
  mod.right = (keys & MK_RBUTTON) != 0;
  mod.shift = (keys & MK_SHIFT) != 0;
  mod.ctrl = (keys & MK_CONTROL) != 0;
  return mod;
}

int KeyCodeForVirtualKey(WPARAM key) {
  switch (key) {
    case VK_SPACE: return kKeySpace;
    case VK_UP: return kKeyUp;
    case VK_DOWN: return kKeyDown;
    case VK_LEFT: return kKeyLeft;
    case VK_RIGHT: return kKeyRight;
    default:
      // Virtual keys of digits and letters are their upper-case characters.
      return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ? KeyCodeForChar(static_cast<int>(key))
                                                                      : kKeyNone;
  }
}

}  // namespace

IGraphics* CreatePlatformGraphics(IPlugBase* plug, int width, int height) {
  return new IGraphicsWin(plug, width, height);
}

IGraphicsWin::IGraphicsWin(IPlugBase* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate) {}

IGraphicsWin::~IGraphicsWin() {
  CloseFromOtherThread();
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  if (hwnd_ != nullptr) CloseEditorWindow();
  TidyClass();
}

int IGraphicsWin::OpenWindowCount() {
  std::lock_guard<std::mutex> guard(Class().mutex);
  return Class().open;
}

int IGraphicsWin::ClassRegistrations() {
  std::lock_guard<std::mutex> guard(Class().mutex);
  return Class().registrations;
}

bool IGraphicsWin::ClassRegistered() {
  WNDCLASSEXA info{};
  info.cbSize = sizeof(info);
  return GetClassInfoExA(win32ui::OwnModule(), kClassName, &info) != 0;
}

// ---- Window life ----------------------------------------------------------------------------

bool IGraphicsWin::Open(void* parentWindow) {
  CloseFromOtherThread();
  return IGraphics::Open(parentWindow);
}

void IGraphicsWin::Close() {
  CloseFromOtherThread();
  IGraphics::Close();
  TidyClass();
}

void IGraphicsWin::CloseFromOtherThread() {
  HWND hwnd = sharedHwnd_.load(std::memory_order_acquire);
  if (hwnd == nullptr) return;
  const DWORD owner = GetWindowThreadProcessId(hwnd, nullptr);
  if (owner == 0 || owner == GetCurrentThreadId()) return;
  // Without the editor lock: the window's thread takes it to close. A thread that does not
  // answer in time leaves the window to CloseEditorWindow's detaching path.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hwnd, kCloseRequest, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kCloseWaitMs, &result);
}

bool IGraphicsWin::OpenEditorWindow(void* parentWindow) {
  IRect place(0, 0, Width(), Height());
  if (hwnd_ != nullptr) {
    // Reopening keeps the window's place in its parent.
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    place = IRect(r.left, r.top, r.right, r.bottom);
    CloseEditorWindow();
  }
  HWND parent = static_cast<HWND>(parentWindow);
  if (parent == nullptr || !IsWindow(parent) || BackBuffer() == nullptr) return false;
  if (!AcquireClass()) return false;
  parent_ = parent;
  topLevel_ = GetAncestor(parent, GA_ROOT);
  classHeld_ = true;
  // WM_NCCREATE records the window; WM_CREATE starts the timer and takes the focus. The
  // window is per-monitor aware where the system knows that: it draws itself at the scale.
  HWND hwnd = nullptr;
  {
    const PerMonitorAware aware;
    hwnd = CreateWindowExA(0, kClassName, "IPlug", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place.L, place.T, Width(),
                           Height(), parent, nullptr, win32ui::OwnModule(), this);
  }
  if (hwnd == nullptr) {
    if (hwnd_ != nullptr) WindowDestroyed();
    if (classHeld_) {
      classHeld_ = false;
      ReleaseClass();
    }
    parent_ = topLevel_ = nullptr;
    return false;
  }
  if (TooltipsEnabled()) CreateTooltip();
  WindowOpened();
  return true;
}

void IGraphicsWin::CloseEditorWindow() {
  HWND hwnd = hwnd_;
  if (hwnd == nullptr) return;
  if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) {
    // Only the window's thread may destroy it, and it did not answer: cut the window off from
    // this editor (its procedure then does nothing of ours) and let its thread close it when
    // it runs again. The tooltip and the entry box go with it.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (entryBox_ != nullptr) {
      SetWindowLongPtrA(entryBox_, GWLP_WNDPROC, entryPreviousProc_);
      SetWindowLongPtrA(entryBox_, GWLP_USERDATA, 0);
    }
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    WindowDestroyed();
    return;
  }
  EndModal();
  if (entryBox_ != nullptr) DestroyTextEntryBox();
  if (cursorHidden_) RestoreCursor();
  if (tooltip_ != nullptr) DestroyWindow(tooltip_);
  tooltip_ = nullptr;
  DestroyWindow(hwnd);  // WM_NCDESTROY forgets the window
  if (hwnd_ == hwnd) WindowDestroyed();
  TidyClass();
}

void IGraphicsWin::WindowDestroyed() {
  if (entryBox_ != nullptr) {
    entryBox_ = nullptr;
    FreeEntryResources();
  }
  hwnd_ = nullptr;
  sharedHwnd_.store(nullptr, std::memory_order_release);
  parent_ = topLevel_ = nullptr;
  tooltip_ = nullptr;  // owned by the window: destroyed with it
  tooltipShown_ = false;
  paintDC_ = nullptr;
  if (classHeld_) {
    classHeld_ = false;
    ReleaseClass();
  }
  WindowClosed();
}

double IGraphicsWin::DesktopScaleFactor(void* parentWindow) {
  HWND window = hwnd_ != nullptr ? hwnd_ : static_cast<HWND>(parentWindow);
  if (window != nullptr && !IsWindow(window)) window = nullptr;
  return MonitorDpi(window) / 96.0;
}

void IGraphicsWin::ResizeWindow(int width, int height) {
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A host window that is only a plain child holder follows the editor's size.
  if (parent_ != nullptr && (GetWindowLongPtrA(parent_, GWL_STYLE) & WS_CHILD) != 0) {
    SetWindowPos(parent_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// ---- Painting -------------------------------------------------------------------------------

void IGraphicsWin::InvalidateRect(const IRect& rect) {
  if (hwnd_ == nullptr) return;
  const RECT r{rect.L, rect.T, rect.R, rect.B};
  ::InvalidateRect(hwnd_, &r, FALSE);
  UpdateWindow(hwnd_);
}

// The editor composes every pixel in its own DIB section and the window only receives copies,
// so nothing here depends on which Windows (or Wine) draws it: no system is singled out.
void IGraphicsWin::PresentRect(const IRect& rect) {
  auto* back = static_cast<LICE_SysBitmap*>(BackBuffer());
  HDC source = back != nullptr ? static_cast<HDC>(back->DrawingContext()) : nullptr;
  if (hwnd_ == nullptr || source == nullptr) return;
  HDC dc = paintDC_ != nullptr ? paintDC_ : GetDC(hwnd_);
  if (dc == nullptr) return;
  BitBlt(dc, rect.L, rect.T, rect.W(), rect.H(), source, rect.L, rect.T, SRCCOPY);
  if (dc != paintDC_) ReleaseDC(hwnd_, dc);
}

// ---- Messages -------------------------------------------------------------------------------

std::intptr_t IGraphicsWin::HandleMessage(HWND hwnd, unsigned int message, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  // Cut off meanwhile by a close from another thread.
  if (GetWindowLongPtrA(hwnd, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(this)) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  if (message == WM_NCCREATE) {
    hwnd_ = hwnd;
    sharedHwnd_.store(hwnd, std::memory_order_release);
  }
  if (hwnd != hwnd_) return DefWindowProcA(hwnd, message, wParam, lParam);
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  // While the entry box has the focus the editor leaves pointer and key messages alone; a
  // press on the editor still ends the entry (it commits, as a click elsewhere does).
  const bool entryFocused = Entry().IsOpen() && Entry().GetState() == TextEntry::kFocused;
  switch (message) {
    case WM_CREATE:
      SetTimer(hwnd, kTimerId, static_cast<UINT>(TimerIntervalMs()), nullptr);
      SetFocus(hwnd);
      return 0;
    case kDpiChanged:
    case kDpiChangedAfterParent:
      // Moved to a monitor of another scale, or the scale changed: an "Auto" editor follows.
      DesktopScaleChanged();
      return 0;
    case WM_NCDESTROY:
      WindowDestroyed();
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      return DefWindowProcA(hwnd, message, wParam, lParam);
    case kCloseRequest: CloseEditorWindow(); return 1;
    case WM_CLOSE: CloseEditorWindow(); return 0;
    case WM_ERASEBKGND: return 1;  // the back buffer covers the whole window
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      paintDC_ = dc;
      Paint(IRect(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom));
      paintDC_ = nullptr;
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimerId) OnTimer();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      HideTooltip();
      if (!Entry().IsOpen()) {
        SetFocus(hwnd);
        SetCapture(hwnd);
      }
      OnButtonPress(x, y, ModFromKeys(wParam), false);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:  // a middle press began a gesture too: it ends here
      if (GetCapture() == hwnd) ReleaseCapture();
      if (entryFocused) return 0;
      OnButtonRelease(x, y, ModFromKeys(wParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      OnButtonPress(x, y, ModFromKeys(wParam), true);
      // A control that takes the double click as a press is dragged like one.
      if (!Entry().IsOpen() && CapturedControl() >= 0) SetCapture(hwnd);
      return 0;
    case WM_MOUSEMOVE: {
      if (entryFocused) return 0;
      const IMouseMod mod = ModFromKeys(wParam);
      if (mod.left || mod.right) {
        if (GetCapture() == hwnd) OnPointerMove(x, y, mod);
        return 0;
      }
      const int before = MouseOverControl();
      OnPointerMove(x, y, mod);
      if (TooltipsEnabled() && MouseOverControl() != before) HideTooltip();
      TrackMouse(MouseOverControl() >= 0);
      return 0;
    }
    case WM_MOUSEHOVER:
      ShowTooltip();
      TrackMouse(false);  // the next move asks for hover again
      return 0;
    case WM_MOUSELEAVE:
      HideTooltip();
      OnMouseOut();
      return 0;
    case WM_MOUSEWHEEL: {
      if (entryFocused) return 0;
      POINT p{x, y};  // screen coordinates
      ScreenToClient(hwnd, &p);
      OnWheel(p.x, p.y, ModFromKeys(GET_KEYSTATE_WPARAM(wParam)), GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: HandleKey(message, wParam, lParam); return 0;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) == entryBox_ && entryBrush_ != nullptr) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, entryText_);
        SetBkColor(dc, entryBackground_);
        return reinterpret_cast<LRESULT>(entryBrush_);
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return 0;
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Space, arrows, digits and letters go to the controls; a key none of them takes, and every
// other key message, belongs to the host (its shortcuts).
void IGraphicsWin::HandleKey(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == WM_KEYDOWN) {
    const int key = KeyCodeForVirtualKey(wParam);
    if (key != kKeyNone) {
      POINT p{};
      GetCursorPos(&p);
      ScreenToClient(hwnd_, &p);
      if (OnKey(p.x, p.y, key)) return;
    }
  }
  PassKeyToHost(message, wParam, lParam);
}

void IGraphicsWin::PassKeyToHost(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (topLevel_ != nullptr && topLevel_ != hwnd_) PostMessageA(topLevel_, message, wParam, lParam);
}

// ---- Tooltips -------------------------------------------------------------------------------

void IGraphicsWin::CreateTooltip() {
  INITCOMMONCONTROLSEX init{};
  init.dwSize = sizeof(init);
  init.dwICC = ICC_WIN95_CLASSES;
  if (!InitCommonControlsEx(&init)) {
    EnableTooltips(false);
    return;
  }
  tooltip_ =
      CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, win32ui::OwnModule(), nullptr);
  if (tooltip_ == nullptr) {
    EnableTooltips(false);
    return;
  }
  SetWindowPos(tooltip_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The editor window is the one tool. The editor decides when its tip shows (the control
  // under the mouse changes within the one window), so the tip is placed and shown by hand.
  TOOLINFOA tool = ToolInfo();
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRACK | TTF_ABSOLUTE;
  tool.lpszText = const_cast<char*>("");
  if (!SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
    DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    EnableTooltips(false);
  }
}

TOOLINFOA IGraphicsWin::ToolInfo() const {
  TOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  return tool;
}

void IGraphicsWin::ShowTooltip() {
  if (tooltip_ == nullptr || !TooltipsEnabled()) return;
  const char* text = MouseOverTooltip();
  if (text[0] == '\0') return;
  TOOLINFOA tool = ToolInfo();
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  POINT p{};
  GetCursorPos(&p);
  SendMessageA(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(p.x + 12, p.y + 20));
  SendMessageA(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  tooltipShown_ = true;
}

void IGraphicsWin::HideTooltip() {
  if (tooltip_ == nullptr || !tooltipShown_) return;
  TOOLINFOA tool = ToolInfo();
  SendMessageA(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  tooltipShown_ = false;
}

void IGraphicsWin::TrackMouse(bool hover) {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE | (hover ? TME_HOVER : 0);
  track.hwndTrack = hwnd_;
  track.dwHoverTime = HOVER_DEFAULT;
  TrackMouseEvent(&track);
}
