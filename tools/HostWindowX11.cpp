// The test host's window on X11: a plain top-level window on its own connection.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "tools/HostWindow.h"

namespace {

class HostWindowX11 : public HostWindow {
 public:
  ~HostWindowX11() override {
    if (display_ == nullptr) return;
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }

  bool Init(const char* title, int width, int height) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return false;
    const int screen = DefaultScreen(display_);
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, BlackPixel(display_, screen),
                                  BlackPixel(display_, screen));
    XStoreName(display_, window_, title);
    XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
    deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &deleteWindow_, 1);
    XMapWindow(display_, window_);
    XSync(display_, False);
    return true;
  }

  void* Handle() const override { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }

  bool Pump(std::vector<std::string>& keys) override {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == KeyPress) {
        char text[8];
        KeySym sym = NoSymbol;
        XLookupString(&event.xkey, text, sizeof(text), &sym, nullptr);
        const char* name = XKeysymToString(sym);
        keys.emplace_back(name != nullptr ? name : "?");
      } else if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) {
        return false;
      }
    }
    return true;
  }

  void ClientOrigin(int* x, int* y) const override {
    Window child;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, x, y, &child);
  }

  void Resize(int width, int height) override {
    XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display_);
  }

 private:
  Display* display_ = nullptr;
  Window window_ = 0;
  Atom deleteWindow_ = 0;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::Create(const char* title, int width, int height) {
  auto window = std::make_unique<HostWindowX11>();
  if (!window->Init(title, width, height)) return nullptr;
  return window;
}
