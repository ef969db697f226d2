// The holder window on X11.
#include "lv2/UiWindow.h"

#include <X11/Xlib.h>

#include "editor/framework/x11/X11ErrorFilter.h"

namespace lv2 {

UiWindow::~UiWindow() {
  auto* display = static_cast<Display*>(display_);
  if (display == nullptr) return;
  // The host may have destroyed its parent (and with it this window) already.
  if (window_ != 0) XDestroyWindow(display, static_cast<Window>(window_));
  XSync(display, False);
  UnregisterQuietDisplay(display);
  XCloseDisplay(display);
}

void UiWindow::Resize(int width, int height) {
  if (display_ == nullptr || window_ == 0) return;
  auto* display = static_cast<Display*>(display_);
  XResizeWindow(display, static_cast<Window>(window_), static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFlush(display);
}

bool UiWindow::Create(std::uintptr_t parent, int width, int height) {
  auto* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  display_ = display;
  RegisterQuietDisplay(display);
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, static_cast<Window>(parent), &attributes) == 0) return false;
  window_ = XCreateSimpleWindow(display, static_cast<Window>(parent), 0, 0, static_cast<unsigned>(width),
                                static_cast<unsigned>(height), 0, 0, BlackPixel(display, DefaultScreen(display)));
  XMapWindow(display, static_cast<Window>(window_));
  XSync(display, False);
  return window_ != 0;
}

}  // namespace lv2
