#include "editor/framework/x11/X11Surface.h"

#include <X11/Xutil.h>

#include <algorithm>

namespace x11 {

bool OpenConnection(Connection& c) {
  c.display = XOpenDisplay(nullptr);
  if (c.display == nullptr) return false;
  const int screen = DefaultScreen(c.display);
  XVisualInfo info;
  if (!XMatchVisualInfo(c.display, screen, 24, TrueColor, &info) || info.red_mask != 0xff0000 ||
      info.blue_mask != 0xff) {
    XCloseDisplay(c.display);
    c.display = nullptr;
    return false;
  }
  c.visual = info.visual;
  c.depth = info.depth;
  c.root = RootWindow(c.display, screen);
  c.colormap = XCreateColormap(c.display, c.root, c.visual, AllocNone);
  c.screenWidth = DisplayWidth(c.display, screen);
  c.screenHeight = DisplayHeight(c.display, screen);
  c.wmDeleteWindow = XInternAtom(c.display, "WM_DELETE_WINDOW", False);
  c.wmProtocols = XInternAtom(c.display, "WM_PROTOCOLS", False);
  return true;
}

void CloseConnection(Connection& c) {
  if (c.display == nullptr) return;
  XFreeColormap(c.display, c.colormap);
  XCloseDisplay(c.display);
  c = Connection();
}

bool Surface::Create(Window parent, const IRect& place, Kind kind, long eventMask, LICE_SysBitmap* bitmap,
                     const char* title) {
  Destroy();
  place_ = IRect(place.L, place.T, place.L + std::max(place.W(), 1), place.T + std::max(place.H(), 1));
  if (bitmap != nullptr) {
    bitmap_ = bitmap;
  } else {
    own_ = std::make_unique<LICE_SysBitmap>(place_.W(), place_.H());
    bitmap_ = own_.get();
  }
  XSetWindowAttributes attributes{};
  attributes.colormap = c_.colormap;
  attributes.border_pixel = 0;
  attributes.background_pixmap = None;
  attributes.event_mask = eventMask;
  attributes.override_redirect = kind == Kind::kPopup ? True : False;
  attributes.save_under = kind == Kind::kPopup ? True : False;
  const unsigned long mask = CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask | CWOverrideRedirect | CWSaveUnder;
  window_ = XCreateWindow(c_.display, parent, place_.L, place_.T, static_cast<unsigned>(place_.W()),
                          static_cast<unsigned>(place_.H()), 0, c_.depth, InputOutput, c_.visual, mask, &attributes);
  if (window_ == 0) return false;
  gc_ = XCreateGC(c_.display, window_, 0, nullptr);
  if (kind == Kind::kDialog) {
    XSetWMProtocols(c_.display, window_, const_cast<Atom*>(&c_.wmDeleteWindow), 1);
    if (title != nullptr) XStoreName(c_.display, window_, title);
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = place_.L;
    hints.y = place_.T;
    hints.min_width = hints.max_width = place_.W();
    hints.min_height = hints.max_height = place_.H();
    XSetWMNormalHints(c_.display, window_, &hints);
  }
  if (!WrapBitmap()) {
    Destroy();
    return false;
  }
  XMapRaised(c_.display, window_);
  return true;
}

bool Surface::WrapBitmap() {
  if (image_ != nullptr) {
    image_->data = nullptr;  // the pixels belong to the bitmap
    XDestroyImage(image_);
    image_ = nullptr;
  }
  if (bitmap_ == nullptr || bitmap_->Bits() == nullptr) return false;
  image_ = XCreateImage(c_.display, c_.visual, static_cast<unsigned>(c_.depth), ZPixmap, 0,
                        reinterpret_cast<char*>(bitmap_->Bits()), static_cast<unsigned>(bitmap_->Width()),
                        static_cast<unsigned>(bitmap_->Height()), 32, bitmap_->RowSpan() * 4);
  if (image_ == nullptr) return false;
  image_->byte_order = LSBFirst;
  return true;
}

void Surface::Destroy() {
  if (image_ != nullptr) {
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
  }
  if (gc_ != nullptr && c_.display != nullptr) XFreeGC(c_.display, gc_);
  gc_ = nullptr;
  if (window_ != 0 && c_.display != nullptr) XDestroyWindow(c_.display, window_);
  window_ = 0;
  own_.reset();
  bitmap_ = nullptr;
}

void Surface::Present(const IRect& rect) {
  if (window_ == 0 || image_ == nullptr || bitmap_ == nullptr) return;
  // The image must still describe the bitmap (a borrowed back buffer may have been remade).
  if (reinterpret_cast<char*>(bitmap_->Bits()) != image_->data || bitmap_->Width() != image_->width ||
      bitmap_->Height() != image_->height) {
    if (!WrapBitmap()) return;
  }
  const IRect r = rect.Intersect(IRect(0, 0, bitmap_->Width(), bitmap_->Height()));
  if (r.Empty()) return;
  XPutImage(c_.display, window_, gc_, image_, r.L, r.T, r.L, r.T, static_cast<unsigned>(r.W()),
            static_cast<unsigned>(r.H()));
}

void Surface::Resize(int width, int height) {
  if (window_ == 0) return;
  place_ = IRect(place_.L, place_.T, place_.L + std::max(width, 1), place_.T + std::max(height, 1));
  if (own_) own_->Resize(place_.W(), place_.H());
  XResizeWindow(c_.display, window_, static_cast<unsigned>(place_.W()), static_cast<unsigned>(place_.H()));
  WrapBitmap();
}

void ToScreen(const Connection& c, Window window, int x, int y, int* sx, int* sy) {
  Window child;
  if (!XTranslateCoordinates(c.display, window, c.root, x, y, sx, sy, &child)) {
    *sx = x;
    *sy = y;
  }
}

void DrawLabel(LICE_IBitmap* bitmap, const char* text, const IRect& rect, LICE_pixel color, int align, int size,
               bool bold) {
  LICE_IFont* font = LICE_GetFont("DejaVu Sans", size, bold ? 700 : 400);
  if (font == nullptr || text == nullptr) return;
  LICE_Rect r = rect.ToLice();
  font->DrawText(bitmap, text, -1, &r, align | LICE_TEXT_VCENTER, color, 1.0f, &r);
}

int LabelWidth(const char* text, int size) {
  LICE_IFont* font = LICE_GetFont("DejaVu Sans", size);
  if (font == nullptr || text == nullptr) return 0;
  LICE_MemBitmap scratch(1, 1);
  LICE_Rect r{0, 0, 0, 0};
  font->DrawText(&scratch, text, -1, &r, LICE_TEXT_MEASURE, 0);
  return r.right - r.left;
}

void DrawFrame(LICE_IBitmap* bitmap, const IRect& rect, LICE_pixel color, int thickness) {
  IRect r = rect;
  for (int i = 0; i < std::max(thickness, 1) && !r.Empty(); ++i) {
    LICE_DrawRect(bitmap, r.ToLice(), color, 1.0f, LICE_BlendMode::kCopy);
    r = IRect(r.L + 1, r.T + 1, r.R - 1, r.B - 1);
  }
}

}  // namespace x11
