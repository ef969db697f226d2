// The Linux editor window: an X11 child window inside the window id the host passes with the
// editor-open request, on a display connection of its own. Hosts on Linux have no message
// loop to share, so the window's events and the 40 ms timer run when the host calls
// editor-idle (IGraphics::Idle -> PumpEvents), always on the host's user-interface thread.
// Menus, message boxes, the entry box, tooltips and the file chooser are drawn here with the
// drawing layer (zenity or kdialog serve for files when installed). Modal loops (menus,
// boxes, dialogs) end at once when another thread asks to close the editor.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "editor/framework/IGraphics.h"
#include "editor/framework/x11/X11Surface.h"

namespace x11 {
class EntryBox;
}

class IGraphicsX11 : public IGraphics {
 public:
  IGraphicsX11(IPlugBase* plug, int width, int height, int frameRate = kDefaultFrameRate);
  ~IGraphicsX11() override;

  // ---- Platform slots -----------------------------------------------------------------------
  void PresentRect(const IRect& rect) override;
  bool IsWindowOpen() const override { return window_.IsOpen(); }
  const char* DrawingApiName() const override { return "X11"; }
  int ShowMessage(const char* text, const char* caption, IMessageButtons buttons) override;
  // The folder of the running program (the host), from /proc/self/exe.
  std::string HostFolder() override;
  std::string PluginFolder() override;
  // XDG_DESKTOP_DIR of the user-dirs file, else ~/Desktop when it exists, else home.
  std::string DesktopFolder() override;
  // Local: the per-user settings folder; common: /usr/local/share.
  std::string AppDataFolder(bool common) override;
  bool PromptColor(LICE_pixel& color) override;
  bool OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* WindowHandle() const override;
  bool ClipboardText(std::string& text) override;
  void HideCursor() override;
  void RestoreCursor() override;
  int TrackPopupMenu(IPopupMenu& menu, int x, int y) override;
  bool RunFileDialog(const IFileRequest& request, std::string& path) override;
  bool LaunchUrl(const char* url) override;
  bool CreateTextEntryBox(const TextEntry& entry, const IRect& rect, const IText& style) override;
  void ReadTextEntryBox(char* text, int size) override;
  void DestroyTextEntryBox() override;
  void ResizeWindow(int width, int height) override;
  // Xft.dpi / 96 from the X resources, else GDK_SCALE, else QT_SCALE_FACTOR; 1 for a value
  // that is there but not a number; 0 when none is set.
  double DesktopScaleFactor(void* parentWindow) override;
  void InvalidateRect(const IRect& rect) override { Paint(rect); }
  void PumpEvents() override;

  // ---- For the drawn windows ----------------------------------------------------------------
  const x11::Connection& Connection() const { return conn_; }
  Window EditorWindow() const { return window_.Id(); }
  // Runs a modal loop: every event goes to `handle` (which answers false to end the loop),
  // except the editor window's own exposes, which are painted. Ends without an answer when the
  // editor window goes away or another thread asks to close; answers whether `handle` ended it.
  bool RunModal(const std::function<bool(XEvent&)>& handle);
  // Where a dialog of this size stands: centred on the editor window, on the screen.
  IRect DialogPlace(int width, int height) const;
  // While a helper program runs: paints the editor's exposes; false when the editor closes.
  bool KeepPainting();

 private:
  void HandleEvent(XEvent& event);
  void HandleKey(XEvent& event);
  void ForwardKey(XEvent& event);
  void UpdateTooltip();
  void HideTooltip();
  void WindowGone();

  x11::Connection conn_;
  x11::Surface window_;
  x11::Surface tooltip_;
  Window parent_ = 0;
  std::unique_ptr<x11::EntryBox> entry_;
  std::chrono::steady_clock::time_point lastTick_{};
  // Double clicks: X reports single presses only.
  std::chrono::steady_clock::time_point lastPress_{};
  int lastPressX_ = -100;
  int lastPressY_ = -100;
  // Tooltips: shown after the mouse rests on a control that has one.
  std::chrono::steady_clock::time_point lastMotion_{};
  int tipControl_ = -1;
  int pointerX_ = 0;
  int pointerY_ = 0;
  bool cursorHidden_ = false;
  int savedCursorX_ = 0;
  int savedCursorY_ = 0;
  Cursor blankCursor_ = 0;
  bool paintedOnce_ = false;
};
