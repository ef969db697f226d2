// The Linux editor window: opening and closing, events, the timer, painting and cursors.
#include "editor/framework/x11/IGraphicsX11.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "editor/framework/PlatformGraphics.h"
#include "editor/framework/x11/X11EntryBox.h"
#include "editor/framework/x11/X11ErrorFilter.h"
#include "editor/framework/x11/X11Processes.h"

namespace {

IMouseMod ModFromState(unsigned int state, unsigned int button) {
  IMouseMod mod;
  mod.left = (state & Button1Mask) != 0 || button == Button1;
  mod.right = (state & Button3Mask) != 0 || button == Button3;
  mod.shift = (state & ShiftMask) != 0;
  mod.ctrl = (state & ControlMask) != 0;
  return mod;
}

constexpr auto kDoubleClickTime = std::chrono::milliseconds(400);
constexpr auto kTooltipDelay = std::chrono::milliseconds(600);

}  // namespace

IGraphics* CreatePlatformGraphics(IPlugBase* plug, int width, int height) {
  return new IGraphicsX11(plug, width, height);
}

IGraphicsX11::IGraphicsX11(IPlugBase* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate), window_(conn_), tooltip_(conn_) {}

IGraphicsX11::~IGraphicsX11() {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  if (conn_.display != nullptr) CloseEditorWindow();
}

// ---- Window life ----------------------------------------------------------------------------

bool IGraphicsX11::OpenEditorWindow(void* parentWindow) {
  IRect place(0, 0, Width(), Height());
  if (IsWindowOpen()) place = window_.Place();
  if (conn_.display != nullptr) CloseEditorWindow();
  const Window parent = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parentWindow));
  if (parent == 0 || BackBuffer() == nullptr) return false;
  if (!x11::OpenConnection(conn_)) return false;
  RegisterQuietDisplay(conn_.display);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(conn_.display, parent, &attributes) ||
      !window_.Create(parent, IRect(place.L, place.T, place.L + Width(), place.T + Height()),
                      x11::Surface::Kind::kChild, x11::Surface::kAllEvents,
                      static_cast<LICE_SysBitmap*>(BackBuffer()))) {
    window_.Destroy();
    UnregisterQuietDisplay(conn_.display);
    x11::CloseConnection(conn_);
    return false;
  }
  parent_ = parent;
  XSetInputFocus(conn_.display, window_.Id(), RevertToParent, CurrentTime);
  XSync(conn_.display, False);
  lastTick_ = std::chrono::steady_clock::now();
  tipControl_ = -1;
  paintedOnce_ = false;
  WindowOpened();
  return true;
}

void IGraphicsX11::CloseEditorWindow() {
  if (conn_.display == nullptr) return;
  if (entry_) DestroyTextEntryBox();
  tooltip_.Destroy();
  if (cursorHidden_) RestoreCursor();
  if (blankCursor_ != 0) XFreeCursor(conn_.display, blankCursor_);
  blankCursor_ = 0;
  window_.Destroy();
  XSync(conn_.display, False);
  UnregisterQuietDisplay(conn_.display);
  x11::CloseConnection(conn_);
  parent_ = 0;
  WindowClosed();
}

void IGraphicsX11::WindowGone() {
  // The host destroyed its window with ours inside: the server has destroyed ours too. The
  // connection stays until the modal loops have put away their windows; the next pump,
  // close or open ends it.
  if (entry_) entry_->Abandon();
  entry_.reset();
  window_.Abandon();
}

void* IGraphicsX11::WindowHandle() const {
  return window_.IsOpen() ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_.Id())) : nullptr;
}

void IGraphicsX11::ResizeWindow(int width, int height) {
  window_.UseBitmap(static_cast<LICE_SysBitmap*>(BackBuffer()));
  window_.Resize(width, height);
  XWindowAttributes attributes;
  // A parent that is only a plain holder follows the editor's size.
  if (parent_ != 0 && XGetWindowAttributes(conn_.display, parent_, &attributes) &&
      attributes.override_redirect == False) {
    Window root;
    Window parentOfParent;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(conn_.display, parent_, &root, &parentOfParent, &children, &count) && parentOfParent != root) {
      XResizeWindow(conn_.display, parent_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    }
    if (children != nullptr) XFree(children);
  }
}

// ---- The desktop's scale ----------------------------------------------------------------------

namespace {

// Xft.dpi of the display's resource database (what xrdb sets and desktops write): the DPI as
// text, or "" when the database has no such entry.
std::string XftDpi(Display* display) {
  const char* resources = XResourceManagerString(display);
  if (resources == nullptr) return {};
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (database == nullptr) return {};
  std::string value;
  char* type = nullptr;
  XrmValue found{};
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &found) && found.addr != nullptr) {
    value.assign(found.addr, strnlen(found.addr, found.size));
  }
  XrmDestroyDatabase(database);
  return value;
}

// A number that fills its whole text; -1 for anything else (a setting that is present but
// unreadable gives 100 %, not the next source).
double WholeNumber(const std::string& text) {
  if (text.empty()) return -1.0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  while (end != nullptr && (*end == ' ' || *end == '\t' || *end == '\n')) ++end;
  return end != nullptr && *end == '\0' ? value : -1.0;
}

}  // namespace

double IGraphicsX11::DesktopScaleFactor(void* parentWindow) {
  // Desktops keep the scale in the X resources (96 dpi = 100 %); toolkits' variables come next.
  // Asked again at every opening, so an xrdb change shows the next time the editor opens.
  // Without a window of its own the editor opens a short connection; its answer is kept a
  // moment, so a host making many instances at once does not connect once per instance.
  static_cast<void>(parentWindow);
  static std::mutex cacheMutex;
  static std::string cachedDpi;
  static std::chrono::steady_clock::time_point cachedAt{};
  std::string dpi;
  const auto now = std::chrono::steady_clock::now();
  if (conn_.display != nullptr) {
    dpi = XftDpi(conn_.display);
  } else {
    std::lock_guard<std::mutex> guard(cacheMutex);
    if (cachedAt == std::chrono::steady_clock::time_point{} || now - cachedAt > std::chrono::seconds(2)) {
      cachedDpi.clear();
      if (Display* display = XOpenDisplay(nullptr)) {
        cachedDpi = XftDpi(display);
        XCloseDisplay(display);
      }
      cachedAt = now;
    }
    dpi = cachedDpi;
  }
  if (!dpi.empty()) {
    const double value = WholeNumber(dpi);
    return value > 0.0 ? value / 96.0 : 1.0;
  }
  for (const char* variable : {"GDK_SCALE", "QT_SCALE_FACTOR"}) {
    const char* text = std::getenv(variable);
    if (text == nullptr || text[0] == '\0') continue;
    const double value = WholeNumber(text);
    return value > 0.0 ? value : 1.0;
  }
  return 0.0;
}

// ---- Painting and the timer -----------------------------------------------------------------

void IGraphicsX11::PresentRect(const IRect& rect) {
  window_.Present(rect);
  if (entry_) entry_->Redraw();
  XFlush(conn_.display);
}

void IGraphicsX11::PumpEvents() {
  if (conn_.display == nullptr) return;
  if (!IsWindowOpen()) {  // lost under a modal loop
    CloseEditorWindow();
    return;
  }
  while (IsWindowOpen() && XPending(conn_.display) > 0) {
    XEvent event;
    XNextEvent(conn_.display, &event);
    HandleEvent(event);
  }
  if (!IsWindowOpen()) {
    CloseEditorWindow();
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (now - lastTick_ >= std::chrono::milliseconds(TimerIntervalMs())) {
    lastTick_ = now;
    OnTimer();
    UpdateTooltip();
  }
  if (conn_.display != nullptr) XFlush(conn_.display);
}

bool IGraphicsX11::RunModal(const std::function<bool(XEvent&)>& handle) {
  const int fd = ConnectionNumber(conn_.display);
  while (IsWindowOpen() && !ClosePending()) {
    if (XPending(conn_.display) == 0) {
      pollfd p{fd, POLLIN, 0};
      poll(&p, 1, 20);
      continue;
    }
    XEvent event;
    XNextEvent(conn_.display, &event);
    if (event.xany.window == window_.Id()) {
      if (event.type == Expose)
        Paint(IRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                    event.xexpose.y + event.xexpose.height));
      if (event.type == DestroyNotify && event.xdestroywindow.window == window_.Id()) {
        WindowGone();
        return false;
      }
      // Keys and clicks on the editor go to the modal window's handler too (it decides).
      if (event.type != ButtonPress && event.type != KeyPress) continue;
    }
    if (!handle(event)) return true;
  }
  return false;
}

IRect IGraphicsX11::DialogPlace(int width, int height) const {
  int sx = 0;
  int sy = 0;
  if (IsWindowOpen()) x11::ToScreen(conn_, window_.Id(), 0, 0, &sx, &sy);
  int x = sx + (Width() - width) / 2;
  int y = sy + (Height() - height) / 2;
  x = std::clamp(x, 0, std::max(conn_.screenWidth - width, 0));
  y = std::clamp(y, 0, std::max(conn_.screenHeight - height, 0));
  return IRect(x, y, x + width, y + height);
}

// ---- Events ---------------------------------------------------------------------------------

void IGraphicsX11::HandleEvent(XEvent& event) {
  if (entry_ && event.xany.window == entry_->Id()) {
    entry_->HandleEvent(event);
    return;
  }
  if (event.xany.window != window_.Id()) return;
  switch (event.type) {
    case Expose:
      Paint(IRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                  event.xexpose.y + event.xexpose.height));
      break;
    case ButtonPress: {
      const unsigned int button = event.xbutton.button;
      const IMouseMod mod = ModFromState(event.xbutton.state, button);
      if (button == Button4 || button == Button5) {
        OnWheel(event.xbutton.x, event.xbutton.y, mod, button == Button4 ? 1 : -1);
        break;
      }
      if (button != Button1 && button != Button2 && button != Button3) break;
      HideTooltip();
      if (!Entry().IsOpen()) XSetInputFocus(conn_.display, window_.Id(), RevertToParent, CurrentTime);
      const auto now = std::chrono::steady_clock::now();
      const bool doubleClick = button == Button1 && now - lastPress_ < kDoubleClickTime &&
                               std::abs(event.xbutton.x - lastPressX_) < 4 &&
                               std::abs(event.xbutton.y - lastPressY_) < 4;
      lastPress_ = doubleClick ? std::chrono::steady_clock::time_point{} : now;
      lastPressX_ = event.xbutton.x;
      lastPressY_ = event.xbutton.y;
      OnButtonPress(event.xbutton.x, event.xbutton.y, mod, doubleClick);
      break;
    }
    case ButtonRelease:
      if (event.xbutton.button == Button1 || event.xbutton.button == Button3) {
        OnButtonRelease(event.xbutton.x, event.xbutton.y, ModFromState(event.xbutton.state, event.xbutton.button));
      }
      break;
    case MotionNotify: {
      // Only the latest position of a burst matters.
      while (XCheckTypedWindowEvent(conn_.display, window_.Id(), MotionNotify, &event)) {
      }
      pointerX_ = event.xmotion.x;
      pointerY_ = event.xmotion.y;
      lastMotion_ = std::chrono::steady_clock::now();
      const int before = MouseOverControl();
      OnPointerMove(event.xmotion.x, event.xmotion.y, ModFromState(event.xmotion.state, 0));
      if (MouseOverControl() != before) HideTooltip();
      break;
    }
    case LeaveNotify:
      if (event.xcrossing.detail != NotifyInferior) {
        HideTooltip();
        OnMouseOut();
      }
      break;
    case KeyPress:
    case KeyRelease: HandleKey(event); break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window_.Id()) WindowGone();
      break;
    default: break;
  }
}

void IGraphicsX11::HandleKey(XEvent& event) {
  if (entry_) {
    if (event.type == KeyPress) entry_->HandleEvent(event);
    return;
  }
  if (event.type == KeyRelease) {
    ForwardKey(event);
    return;
  }
  char text[8] = {};
  KeySym sym = NoSymbol;
  XLookupString(&event.xkey, text, sizeof(text) - 1, &sym, nullptr);
  int key = kKeyNone;
  switch (sym) {
    case XK_Up: key = kKeyUp; break;
    case XK_Down: key = kKeyDown; break;
    case XK_Left: key = kKeyLeft; break;
    case XK_Right: key = kKeyRight; break;
    default:
      if (sym < 0x80) key = KeyCodeForChar(static_cast<int>(sym));
      break;
  }
  if (key != kKeyNone && OnKey(event.xkey.x, event.xkey.y, key)) return;
  ForwardKey(event);
}

// Keys no control takes belong to the host (its shortcuts): they go to the window it gave us.
void IGraphicsX11::ForwardKey(XEvent& event) {
  if (parent_ == 0) return;
  XEvent copy = event;
  copy.xkey.window = parent_;
  copy.xkey.subwindow = None;
  copy.xkey.send_event = True;
  XSendEvent(conn_.display, parent_, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask, &copy);
}

// ---- Tooltips and cursor --------------------------------------------------------------------

void IGraphicsX11::UpdateTooltip() {
  if (!TooltipsEnabled() || tooltip_.IsOpen() || Entry().IsOpen()) return;
  const char* text = MouseOverTooltip();
  if (text[0] == '\0' || std::chrono::steady_clock::now() - lastMotion_ < kTooltipDelay) return;
  // Laid out in editor pixels at the editor's scale.
  const int size = ToDevice(12);
  const int h = ToDevice(20);
  const int w = x11::LabelWidth(text, size) + ToDevice(12);
  int sx = 0;
  int sy = 0;
  x11::ToScreen(conn_, window_.Id(), pointerX_ + ToDevice(12), pointerY_ + h, &sx, &sy);
  if (!tooltip_.Create(conn_.root, IRect(sx, sy, sx + w, sy + h), x11::Surface::Kind::kPopup, ExposureMask)) return;
  LICE_IBitmap* b = tooltip_.Bitmap();
  LICE_Clear(b, IColor(255, 255, 255, 225));
  x11::DrawFrame(b, IRect(0, 0, w, h), IColor(255, 0, 0, 0), ToDevice(1));
  x11::DrawLabel(b, text, IRect(ToDevice(6), 0, w - ToDevice(6), h), kColorBlack, LICE_TEXT_LEFT, size);
  tooltip_.PresentAll();
  tipControl_ = MouseOverControl();
}

void IGraphicsX11::HideTooltip() {
  tooltip_.Destroy();
  tipControl_ = -1;
  lastMotion_ = std::chrono::steady_clock::now();
}

void IGraphicsX11::HideCursor() {
  if (!IsWindowOpen() || cursorHidden_) return;
  Window root;
  Window child;
  int wx;
  int wy;
  unsigned int mask;
  XQueryPointer(conn_.display, window_.Id(), &root, &child, &savedCursorX_, &savedCursorY_, &wx, &wy, &mask);
  if (blankCursor_ == 0) {
    static const char kNoBits[8] = {};
    Pixmap blank = XCreateBitmapFromData(conn_.display, window_.Id(), kNoBits, 8, 8);
    XColor black{};
    blankCursor_ = XCreatePixmapCursor(conn_.display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(conn_.display, blank);
  }
  XDefineCursor(conn_.display, window_.Id(), blankCursor_);
  cursorHidden_ = true;
}

void IGraphicsX11::RestoreCursor() {
  if (!IsWindowOpen() || !cursorHidden_) return;
  XUndefineCursor(conn_.display, window_.Id());
  XWarpPointer(conn_.display, None, conn_.root, 0, 0, 0, 0, savedCursorX_, savedCursorY_);
  cursorHidden_ = false;
}

// ---- Text entry -----------------------------------------------------------------------------

bool IGraphicsX11::CreateTextEntryBox(const TextEntry& entry, const IRect& rect, const IText& style) {
  if (!IsWindowOpen()) return false;
  entry_ = std::make_unique<x11::EntryBox>(*this, entry, style);
  if (!entry_->Open(rect)) {
    entry_.reset();
    return false;
  }
  SetTextEntryState(TextEntry::kFocused);
  return true;
}

void IGraphicsX11::ReadTextEntryBox(char* text, int size) {
  if (size <= 0) return;
  text[0] = '\0';
  if (entry_) entry_->Read(text, size);
}

void IGraphicsX11::DestroyTextEntryBox() { entry_.reset(); }
