// The program's window on X11: a top-level window on its own connection.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "standalone/StandaloneWindow.h"

namespace standalone {
namespace {

constexpr unsigned long kStripBackground = 0x202020;
constexpr unsigned long kStripText = 0xD0D0D0;
constexpr int kStripMargin = 6;

std::atomic<void (*)()> displayLost{nullptr};

// Xlib ends the process when this returns; the handler saves what it can first.
int DisplayBroke(Display*) {
  if (void (*handler)() = displayLost.load()) handler();
  return 0;
}

std::string Printable(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '?';
  }
  return out;
}

class StandaloneWindowX11 : public StandaloneWindow {
 public:
  ~StandaloneWindowX11() override {
    if (display_ == nullptr) return;
    if (font_ != nullptr) XFreeFont(display_, font_);
    if (gc_ != nullptr) XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }

  bool Init(int width, int height, std::string* error) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
      const char* name = XDisplayName(nullptr);
      *error = std::string("cannot open the display \"") + (name != nullptr ? name : "") + "\"";
      return false;
    }
    const int screen = DefaultScreen(display_);
    width_ = width;
    height_ = height;
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height + kStripHeight), 0, BlackPixel(display_, screen),
                                  kStripBackground);
    XClassHint classHint{const_cast<char*>("tesvar"), const_cast<char*>("Tesvar")};
    XSetClassHint(display_, window_, &classHint);
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display_, window_, &hints);
    FixSize();
    XSelectInput(display_, window_, KeyPressMask | KeyReleaseMask | ExposureMask | StructureNotifyMask);
    deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &deleteWindow_, 1);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    font_ = XLoadQueryFont(display_, "fixed");
    if (font_ != nullptr) XSetFont(display_, gc_, font_->fid);
    SetTitle("");
    XMapWindow(display_, window_);
    XSync(display_, False);
    return true;
  }

  void* Handle() const override { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }
  int EventFd() const override { return ConnectionNumber(display_); }

  bool Pump(ComputerKeyboard& keyboard, const ComputerKeyboard::Sink& sink) override {
    bool open = true;
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      switch (event.type) {
        case KeyPress:
          // The key's first symbol: Shift and Caps Lock do not change the note.
          keyboard.KeyDown(event.xkey.keycode, XLookupKeysym(&event.xkey, 0), sink);
          break;
        case KeyRelease:
          // Auto-repeat sends releases while the key is still down; only a real one counts.
          if (!KeyIsDown(event.xkey.keycode, true)) keyboard.KeyUp(event.xkey.keycode, sink);
          break;
        case Expose:
          if (event.xexpose.count == 0) DrawStrip();
          break;
        case ClientMessage:
          if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) open = false;
          break;
        default: break;
      }
    }
    if (keyboard.HeldCount() > 0) {
      bool fresh = true;
      keyboard.ReleaseKeysNotDown(
          [&](unsigned int key) {
            const bool down = KeyIsDown(key, fresh);
            fresh = false;
            return down;
          },
          sink);
      keyboard.Retry(sink);
    }
    XFlush(display_);
    return open;
  }

  void SetTitle(const std::string& text) override {
    const std::string title = text.empty() ? "Tesvar" : "Tesvar - " + Printable(text);
    XStoreName(display_, window_, title.c_str());
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XFlush(display_);
  }

  void SetStatus(const std::string& left, const std::string& right) override {
    if (left == left_ && right == right_) return;
    left_ = Printable(left);
    right_ = Printable(right);
    DrawStrip();
  }

  void FitEditor(int width, int height) override {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    FixSize();
    XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height + kStripHeight));
    DrawStrip();
  }

 private:
  // The window takes the editor's size and the strip's, no other.
  void FixSize() {
    XSizeHints* size = XAllocSizeHints();
    size->flags = PMinSize | PMaxSize;
    size->min_width = size->max_width = width_;
    size->min_height = size->max_height = height_ + kStripHeight;
    XSetWMNormalHints(display_, window_, size);
    XFree(size);
  }

  // Whether `key` is down now; `refresh` asks the server again (one round trip).
  bool KeyIsDown(unsigned int key, bool refresh) {
    if (refresh) XQueryKeymap(display_, keymap_);
    return key < 256 && (keymap_[key / 8] & (1 << (key % 8))) != 0;
  }

  int TextWidth(const std::string& text) const {
    if (font_ == nullptr) return 6 * static_cast<int>(text.size());
    return XTextWidth(font_, text.c_str(), static_cast<int>(text.size()));
  }

  void DrawStrip() {
    const int top = height_;
    XSetForeground(display_, gc_, kStripBackground);
    XFillRectangle(display_, window_, gc_, 0, top, static_cast<unsigned>(width_), kStripHeight);
    XSetForeground(display_, gc_, kStripText);
    const int ascent = font_ != nullptr ? font_->ascent : 10;
    const int descent = font_ != nullptr ? font_->descent : 3;
    const int baseline = top + (kStripHeight + ascent - descent) / 2;
    XDrawString(display_, window_, gc_, kStripMargin, baseline, left_.c_str(), static_cast<int>(left_.size()));
    XDrawString(display_, window_, gc_, width_ - kStripMargin - TextWidth(right_), baseline, right_.c_str(),
                static_cast<int>(right_.size()));
    XFlush(display_);
  }

  Display* display_ = nullptr;
  Window window_ = 0;
  Atom deleteWindow_ = 0;
  GC gc_ = nullptr;
  XFontStruct* font_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::string left_;
  std::string right_;
  char keymap_[32] = {};
};

}  // namespace

void StandaloneWindow::OnDisplayLost(void (*handler)()) {
  displayLost = handler;
  XSetIOErrorHandler(DisplayBroke);
}

std::unique_ptr<StandaloneWindow> StandaloneWindow::Create(int editorWidth, int editorHeight, std::string* error) {
  auto window = std::make_unique<StandaloneWindowX11>();
  if (!window->Init(editorWidth, editorHeight, error)) return nullptr;
  return window;
}

}  // namespace standalone
