// A real X11 editor window inside a host window, and a second connection that plays the
// user through the XTest extension (pointer, buttons, keys) and reads the screen.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "FrameworkTestSupport.h"
#include "editor/framework/x11/IGraphicsX11.h"
#include "editor/framework/x11/X11FileChooser.h"
#include "tools/HostWindow.h"

namespace editortest {

// The user: its own connection, so it can act from any thread while the editor runs a loop.
class User {
 public:
  User() {
    // A busy virtual server may turn a connection away for a moment.
    for (int attempt = 0; attempt < 20 && display_ == nullptr; ++attempt) {
      display_ = XOpenDisplay(nullptr);
      if (display_ == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~User() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  bool Ok() const { return display_ != nullptr; }
  Display* GetDisplay() const { return display_; }
  // Screen position of a point of a window.
  void Place(Window window, int x, int y) {
    Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &originX_, &originY_, &child);
  }
  void MoveTo(Window window, int x, int y) {
    Place(window, x, y);
    XTestFakeMotionEvent(display_, -1, originX_, originY_, CurrentTime);
    XFlush(display_);
  }
  void Button(int button, bool down) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), down ? True : False, CurrentTime);
    XFlush(display_);
  }
  void Key(KeySym sym, bool shift = false) {
    const KeyCode code = XKeysymToKeycode(display_, sym);
    const KeyCode shiftCode = XKeysymToKeycode(display_, XK_Shift_L);
    if (shift) XTestFakeKeyEvent(display_, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftCode, False, CurrentTime);
    XFlush(display_);
  }
  void Type(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
      const char c = *p;
      KeySym sym = static_cast<KeySym>(static_cast<unsigned char>(c));
      if (c == '.') sym = XK_period;
      if (c == ' ') sym = XK_space;
      Key(sym, c >= 'A' && c <= 'Z');
    }
  }
  // The window's pixel as the screen shows it.
  unsigned long Pixel(Window window, int x, int y) {
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0;
    const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
  }
  // Every window under the root, counted through the whole tree.
  int CountWindows() { return Count(DefaultRootWindow(display_)); }

 private:
  int Count(Window w) {
    Window root;
    Window parent;
    Window* children = nullptr;
    unsigned int n = 0;
    int total = 1;
    if (XQueryTree(display_, w, &root, &parent, &children, &n) != 0) {
      for (unsigned int i = 0; i < n; ++i) total += Count(children[i]);
    }
    if (children != nullptr) XFree(children);
    return total;
  }

  Display* display_ = nullptr;
  int originX_ = 0;
  int originY_ = 0;
};

// The test plug-in's editor in a real window: a background, a knob on parameter 0 and a key
// taker, inside a host window.
struct X11Editor {
  X11Editor() {
    graphics = new IGraphicsX11(&plug, 300, 200);
    graphics->AddControl(new IPanelControl(&plug, IRect(0, 0, 300, 200), IColor(255, 20, 20, 20)));
    for (int f = 0; f < 16; ++f) {
      const LICE_Rect r{0, f * 40, 40, (f + 1) * 40};
      LICE_Clear(&strip, LICE_RGBA(f * 16, 255 - f * 16, 40, 255), &r);
    }
    knob = new IKnobMultiControl(&plug, 20, 20, 0, IBitmap{&strip, 40, 640, 16}, IDirection::kVertical, 1.0);
    graphics->AddControl(knob);
    keys = new RecordingControl(&plug, IRect(200, 20, 280, 60), -1, IColor(255, 90, 90, 160));
    graphics->AddControl(keys);
    field = new RecordingControl(&plug, IRect(100, 120, 280, 145), 0, IColor(255, 60, 60, 60));
    graphics->AddControl(field);
    plug.AttachEditor(graphics);
    window = HostWindow::Create("Editor test host", 300, 200);
  }
  ~X11Editor() {
    graphics->Close();
    window.reset();
  }
  bool Open() { return window && graphics->Open(window->Handle()); }
  // Runs the host's side for a while: editor idle about every 5 ms, the host window's events.
  void Run(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      graphics->Idle();
      if (window) window->Pump(hostKeys);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  Window Id() const { return static_cast<Window>(reinterpret_cast<std::uintptr_t>(graphics->WindowHandle())); }

  TestPlug plug;
  LICE_MemBitmap strip{40, 640};
  IGraphicsX11* graphics;  // owned by plug
  IKnobMultiControl* knob;
  RecordingControl* keys;
  RecordingControl* field;
  std::unique_ptr<HostWindow> window;
  std::vector<std::string> hostKeys;
};

}  // namespace editortest
