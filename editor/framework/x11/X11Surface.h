// A window of the editor's own X11 connection showing a bitmap drawn with the drawing layer:
// the editor window itself, and the menus, boxes, tooltips, entry and file chooser that the
// Linux build draws. Only the editor's thread touches a surface.
#pragma once

#include <X11/Xlib.h>

#include <memory>

#include "editor/framework/IGraphicsTypes.h"

namespace x11 {

// The editor's connection and the 24-bit TrueColor visual every surface uses.
struct Connection {
  Display* display = nullptr;
  Visual* visual = nullptr;
  int depth = 0;
  Colormap colormap = 0;
  Window root = 0;
  int screenWidth = 0;
  int screenHeight = 0;
  Atom wmDeleteWindow = 0;
  Atom wmProtocols = 0;
};

// Opens a connection with a 24-bit TrueColor visual; false (and nothing open) when the
// display cannot be reached or has no such visual.
bool OpenConnection(Connection& c);
void CloseConnection(Connection& c);

class Surface {
 public:
  enum class Kind {
    kChild,   // inside another window (the editor in the host's window, the entry box)
    kPopup,   // override-redirect at screen coordinates (menus, tooltips)
    kDialog,  // a transient top-level window (message boxes, the file chooser)
  };
  static constexpr long kPointerEvents =
      ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
  static constexpr long kAllEvents =
      ExposureMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask | kPointerEvents;

  explicit Surface(const Connection& connection) : c_(connection) {}
  ~Surface() { Destroy(); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // `bitmap` null: the surface keeps a bitmap of its own of the window's size.
  bool Create(Window parent, const IRect& place, Kind kind, long eventMask, LICE_SysBitmap* bitmap = nullptr,
              const char* title = nullptr);
  // Forgets the window without destroying it (the server already did: its parent died).
  void Abandon() {
    window_ = 0;
    Destroy();
  }
  void Destroy();
  bool IsOpen() const { return window_ != 0; }
  Window Id() const { return window_; }
  LICE_IBitmap* Bitmap() { return bitmap_; }
  int Width() const { return place_.W(); }
  int Height() const { return place_.H(); }
  const IRect& Place() const { return place_; }
  // Puts the part of the bitmap within `rect` on the window.
  void Present(const IRect& rect);
  void PresentAll() { Present(IRect(0, 0, place_.W(), place_.H())); }
  // Borrows another bitmap (the owner remade its back buffer); shown from the next Present.
  void UseBitmap(LICE_SysBitmap* bitmap) {
    if (!own_) bitmap_ = bitmap;
  }
  // New size: the own bitmap follows (a borrowed one is the owner's business).
  void Resize(int width, int height);

 private:
  bool WrapBitmap();

  const Connection& c_;
  Window window_ = 0;
  GC gc_ = nullptr;
  XImage* image_ = nullptr;
  IRect place_;
  std::unique_ptr<LICE_SysBitmap> own_;
  LICE_IBitmap* bitmap_ = nullptr;
};

// The screen position of a point of a window.
void ToScreen(const Connection& c, Window window, int x, int y, int* sx, int* sy);

// Drawing helpers for the drawn windows: one face everywhere.
void DrawLabel(LICE_IBitmap* bitmap, const char* text, const IRect& rect, LICE_pixel color, int align = 0,
               int size = 13, bool bold = false);
int LabelWidth(const char* text, int size = 13);
// An outline `thickness` pixels wide inside rect (the drawn windows' lines at the scale).
void DrawFrame(LICE_IBitmap* bitmap, const IRect& rect, LICE_pixel color, int thickness);

}  // namespace x11
