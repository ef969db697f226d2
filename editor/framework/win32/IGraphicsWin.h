// The Windows editor window: a child window of class "IPlugWndClass" inside the window the
// host passes with the editor-open request, painted from the back buffer (a DIB section with
// its own device context), driven by the host's message loop and a 40 ms timer (id 2). Menus,
// message boxes, file and colour dialogs are the system's own, owned by the host's top-level
// window; the text entry is a system edit control (id 99) subclassed over the control.
//
// Threads. The window belongs to the thread that created it (normally the host's user-interface
// thread); every message runs there under the editor lock. Win32 lets only that thread destroy
// the window, so a close or open request from another thread asks the window's thread to close
// it (a sent message, answered within a bounded wait). A close that arrives while a menu, box
// or dialog of the editor is up (from inside its modal loop, or from another thread) ends that
// modal loop with no answer before the window goes.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "editor/framework/IGraphics.h"

struct HWND__;
struct HFONT__;
struct HBRUSH__;
struct HDC__;
struct tagTOOLINFOA;

class IGraphicsWin : public IGraphics {
 public:
  IGraphicsWin(IPlugBase* plug, int width, int height, int frameRate = kDefaultFrameRate);
  ~IGraphicsWin() override;

  // ---- EditorView: a window of another thread is closed by its own thread first -------------
  bool Open(void* parentWindow) override;
  void Close() override;

  // ---- Platform slots -----------------------------------------------------------------------
  void PresentRect(const IRect& rect) override;
  bool IsWindowOpen() const override { return hwnd_ != nullptr; }
  const char* DrawingApiName() const override { return "Windows GDI"; }
  // MessageBoxA owned by the host's top-level window.
  int ShowMessage(const char* text, const char* caption, IMessageButtons buttons) override;
  // The running program's folder, the library's folder, the desktop, application data; each
  // with a trailing backslash.
  std::string HostFolder() override;
  std::string PluginFolder() override;
  std::string DesktopFolder() override;
  std::string AppDataFolder(bool common) override;
  // ChooseColorA with the 16 custom colours of this editor; the alpha of `color` is kept.
  bool PromptColor(LICE_pixel& color) override;
  bool OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* WindowHandle() const override { return hwnd_; }
  // CF_UNICODETEXT as UTF-8.
  bool ClipboardText(std::string& text) override;
  void HideCursor() override;
  void RestoreCursor() override;
  int TrackPopupMenu(IPopupMenu& menu, int x, int y) override;
  // GetOpenFileNameA / GetSaveFileNameA.
  bool RunFileDialog(const IFileRequest& request, std::string& path) override;
  // ShellExecuteA "open" when InternetGetConnectedState reports a connection.
  bool LaunchUrl(const char* url) override;
  bool CreateTextEntryBox(const TextEntry& entry, const IRect& rect, const IText& style) override;
  void ReadTextEntryBox(char* text, int size) override;
  void DestroyTextEntryBox() override;
  void ResizeWindow(int width, int height) override;
  // The DPI of the monitor that shows the window (or the host's parent) / 96, asked as a
  // per-monitor aware thread; the system DPI / 96 on systems without per-monitor DPI.
  double DesktopScaleFactor(void* parentWindow) override;
  // Invalidates `rect` and paints it at once (UpdateWindow).
  void InvalidateRect(const IRect& rect) override;

  // ---- Process-wide figures, for tests ------------------------------------------------------
  // Editor windows open now, and how often the window class was registered so far.
  static int OpenWindowCount();
  static int ClassRegistrations();
  // Whether "IPlugWndClass" is registered for this module now.
  static bool ClassRegistered();
  // The tooltip window (null when tooltips are off or no window is open).
  HWND__* TooltipWindow() const { return tooltip_; }
  HWND__* TextEntryWindow() const { return entryBox_; }

  // Message handling: the window and entry-box procedures call these (implementation detail).
  std::intptr_t HandleMessage(HWND__* hwnd, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
  std::intptr_t HandleEntryMessage(HWND__* box, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);

 private:
  enum class Modal { kNone, kMenu, kBox, kDialog };
  class ModalScope;

  void CloseFromOtherThread();
  // Ends a menu, box or dialog of this editor that is up (on the window's thread).
  void EndModal();
  // The window is gone (destroyed by us or with the host's window): forget it.
  void WindowDestroyed();
  void FreeEntryResources();
  void HandleKey(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
  void PassKeyToHost(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
  void HideTooltip();
  void ShowTooltip();
  void CreateTooltip();
  tagTOOLINFOA ToolInfo() const;
  // Asks for the mouse-leave notification, and for hover too when `hover`.
  void TrackMouse(bool hover);

  HWND__* hwnd_ = nullptr;
  bool classHeld_ = false;                    // this window counts in the process-wide open-window count
  std::atomic<HWND__*> sharedHwnd_{nullptr};  // hwnd_ as other threads may read it
  HWND__* parent_ = nullptr;
  HWND__* topLevel_ = nullptr;
  HWND__* tooltip_ = nullptr;
  bool tooltipShown_ = false;
  HDC__* paintDC_ = nullptr;  // the BeginPaint context during a paint
  HWND__* entryBox_ = nullptr;
  std::intptr_t entryPreviousProc_ = 0;
  HFONT__* entryFont_ = nullptr;
  HBRUSH__* entryBrush_ = nullptr;
  unsigned long entryText_ = 0;        // COLORREF
  unsigned long entryBackground_ = 0;  // COLORREF
  Modal modal_ = Modal::kNone;
  HWND__* modalOwner_ = nullptr;  // the owner of the box or dialog that is up
  bool cursorHidden_ = false;
  int savedCursorX_ = 0;
  int savedCursorY_ = 0;
  unsigned long customColors_[16] = {};  // COLORREF
};
