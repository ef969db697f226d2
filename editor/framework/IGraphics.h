// The editor: the controls of one plug-in instance, the events routed to them, the dirty
// tracking and drawing into a back buffer, the text-entry machine, and the value mailbox.
// IGraphics holds everything that does not depend on a window system; a platform class
// (IGraphicsX11 on Linux, IGraphicsWin on Windows, IGraphicsHeadless for tests and
// snapshots) fills the platform slots below.
//
// Threads. The editor belongs to the host's user-interface thread: the controls, the back
// buffer and the window are only touched inside Open, Close, Idle and the platform's own
// message handling, each under the editor lock (EditorLock). Other threads only post values
// (ShowParamValue, ProgramChanged). The editor takes the plug-in lock only through
// SetParamFromEditor and the short reads of parameter texts; never hold the plug-in lock
// while taking the editor lock.
//
// Scale. Controls, the layout, events given to controls and every drawing call are in editor
// pixels: the panel at 100 %. The window, the back buffer, PresentRect, InvalidateRect, Paint
// and the platform's window events (OnButtonPress, OnPointerMove, OnWheel, OnButtonRelease)
// are in device pixels: editor pixels times ScalePercent() / 100 (editor_scale::ToDevice).
// Bitmaps are drawn from the drawing made for the scale, text is rasterised at it.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/EditorView.h"
#include "editor/framework/EditorScale.h"
#include "editor/framework/IControl.h"
#include "editor/framework/IGraphicsTypes.h"
#include "editor/framework/IPopupMenu.h"
#include "editor/framework/TextEntry.h"
#include "editor/framework/ValueMailbox.h"
#include "resources/Images.h"

class IPlugBase;

// A file-dialog request as the platform sees it (built by IGraphics::PromptFile).
struct IFileRequest {
  bool save = false;
  std::string fileName;                 // initial name (may be empty)
  std::string folder;                   // initial folder, never empty
  std::vector<std::string> extensions;  // without the point; empty: any file
  std::string pattern;                  // "*.fxp;*.fxb", or "*." for a single blank
  std::string defaultExtension;         // the first extension, or empty
};

class IGraphics : public EditorView {
 public:
  static constexpr int kDefaultFrameRate = 25;
  // Timer ticks without anything to draw before the plug-in's IdleTick.
  static constexpr int kIdleTicks = 21;

  IGraphics(IPlugBase* plug, int width, int height, int frameRate = kDefaultFrameRate);
  // Subclasses close their window in their own destructor (CloseEditorWindow is theirs).
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- EditorView ---------------------------------------------------------------------------
  void ShowParamValue(int index, double value, bool normalised) override;
  void ProgramChanged() override;
  void Attached() override;
  bool Open(void* parentWindow) override;
  void Close() override;
  void Idle() override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetHostScale(double factor) override;
  int ScalePercent() const override { return scale_; }
  void SetFrame(EditorFrame* frame) override { frame_ = frame; }

  // ---- Scale (user-interface thread) ---------------------------------------------------------
  // The panel's size in editor pixels.
  int EditorWidth() const { return editorWidth_; }
  int EditorHeight() const { return editorHeight_; }
  // The user's choice: editor_scale::kAuto or a step in percent (anything else counts as
  // 100 %). An open window takes the new scale at once when the frame agrees (kApplied); when
  // the frame refuses, the window keeps its size and the scale applies at the next opening
  // (kDeferred); kUnchanged when the size stays.
  enum class ScaleChange { kUnchanged, kApplied, kDeferred };
  ScaleChange SetUserZoom(int zoom);
  int UserZoom() const { return userZoom_; }
  // Platforms call this when the desktop's scale for the window changed (a move to another
  // monitor, a new DPI setting): an "Auto" editor follows it.
  ScaleChange DesktopScaleChanged();
  // Editor pixels to device pixels and back at the current scale.
  int ToDevice(int v) const { return editor_scale::ToDevice(v, scale_); }
  IRect ToDevice(const IRect& r) const { return IRect(ToDevice(r.L), ToDevice(r.T), ToDevice(r.R), ToDevice(r.B)); }
  int ToEditor(int px) const { return editor_scale::ToEditor(px, scale_); }
  // The smallest editor rectangle that covers a device rectangle.
  IRect ToEditorCover(const IRect& r) const;
  // A text style at the current scale (its size in device pixels).
  IText ToDevice(const IText& style) const;
  // The drawing of a bitmap record at the current scale (the record's own image at 100 %).
  const LICE_IBitmap* ImageFor(const IBitmap& bitmap);

  // ---- Platform slots, in slot order --------------------------------------------------------
  // All run on the user-interface thread with the editor lock held. "Platform" slots are the
  // window system's part; the others are done here and rarely replaced.
  //
  // 0 Platform: copy `rect` of the back buffer onto the window.
  virtual void PresentRect(const IRect& rect) = 0;
  // 1 Draws text on the back buffer, clipped to the drawing rectangle (drawing layer).
  virtual bool DrawText(const IText& style, const char* text, const IRect& rect);
  // 2 Requests cancelling an open text entry (state 3).
  virtual void CancelTextEntry();
  // 3 New editor size: recreates the back buffer, calls ResizeWindow, tells the plug-in and
  //   repaints everything. Nothing happens when the size is unchanged.
  virtual void Resize(int width, int height);
  // 4 Platform: whether the window exists.
  virtual bool IsWindowOpen() const = 0;
  // 5 Platform: the name of the drawing back end ("" here).
  virtual const char* DrawingApiName() const { return ""; }
  // 6 Platform: a message box modal to the editor; answers an IMessageResult (kMessageNone
  //   when no box could be shown, for example without a window or while closing).
  virtual int ShowMessage(const char* text, const char* caption, IMessageButtons buttons) = 0;
  // 7 Shows the menu with its top-left corner at the rectangle's left and bottom edge; answers
  //   the (sub)menu holding the picked item, with the item's index as its ChosenItemIndex, or
  //   null when dismissed. The whole window is repainted afterwards. Uses TrackPopupMenu.
  virtual IPopupMenu* PopupMenu(IPopupMenu& menu, const IRect& rect);
  // 8 Opens the one-line text entry over `rect` holding `text` (cut to the control's entry
  //   limit); paramIdx >= 0 filters the characters after the parameter's kind and turns the
  //   committed text into the parameter's value. Does nothing while an entry is open. The
  //   result reaches the control on a later timer tick (ValueFromUser or TextFromEntry).
  virtual void OpenTextEntry(IControl* control, const IText& style, const IRect& rect, const char* text,
                             int paramIdx = -1);
  // 9-13 Platform: folders, each with a trailing separator ("" when unknown).
  virtual std::string HostFolder() = 0;
  virtual std::string PluginFolder() = 0;
  virtual std::string DesktopFolder() = 0;
  virtual std::string AppDataFolder(bool common) = 0;
  virtual std::string LocalAppDataFolder() { return AppDataFolder(false); }
  // 14 File dialog: `extensions` is a blank-separated list ("fxp fxb"). On success fileName is
  //   the chosen file's full path and folder its folder (with trailing separator); on cancel,
  //   or without a window, fileName becomes empty. Uses RunFileDialog.
  virtual void PromptFile(std::string& fileName, bool save, std::string& folder, const char* extensions);
  // 15 Platform: a colour dialog; true when a colour was chosen.
  virtual bool PromptColor(LICE_pixel& color) = 0;
  // 16 With a confirmation text asks Yes/No first; then LaunchUrl; a failure shows the error
  //   text (when given) with OK. True when the page was opened.
  virtual bool OpenWebPage(const char* url, const char* caption, const char* confirmText, const char* errorText);
  // 18 Platform: creates the window inside the host's parent (window system handle). A window
  //   already open is closed first, keeping its place.
  virtual bool OpenEditorWindow(void* parentWindow) = 0;
  // 21 Platform: destroys the window and everything it opened (entry box, menus, tooltips);
  //    also called when no window is open (nothing to do, or the remains of a lost one).
  virtual void CloseEditorWindow() = 0;
  // 22 Platform: the window's handle (HWND, X11 window id), null when closed.
  virtual void* WindowHandle() const = 0;
  // 23 Platform: the clipboard's text as UTF-8; false when there is none.
  virtual bool ClipboardText(std::string& text) = 0;
  // 25, 26 Platform: hide the mouse cursor remembering its place; show it there again.
  virtual void HideCursor() = 0;
  virtual void RestoreCursor() = 0;
  // 28 A PNG resource of the library, by id, through the drawing layer's process-wide cache;
  //   only names ending in "png" (any case) are loaded. A missing resource gives a record with
  //   no image (drawing it draws nothing) but the given frame count. The record keeps the id:
  //   at other scales the editor draws resource id + kDoubleSizeIdOffset (the drawing at
  //   200 %) or its resampled sizes.
  virtual IBitmap LoadPngResource(int id, const char* name, int frames = 1, bool framesAreHorizontal = false);
  static constexpr int kDoubleSizeIdOffset = resources::kDoubleSizeIdOffset;
  // Platform: the desktop's scale factor (1.0 = 100 %) for a window inside `parentWindow`
  // (null: the main screen's); 0 when it says nothing.
  virtual double DesktopScaleFactor(void* parentWindow) { return 0.0; }

  // ---- Platform primitives (protected in spirit: called by IGraphics only) -------------------
  // Platform: shows a native or drawn menu and answers the picked item's depth-first
  // identifier (IPopupMenu::FindIdentifier), or -1. (x, y) is in the window's device pixels.
  virtual int TrackPopupMenu(IPopupMenu& menu, int x, int y) = 0;
  // Platform: the file dialog; true with the chosen full path.
  virtual bool RunFileDialog(const IFileRequest& request, std::string& path) = 0;
  // Platform: opens the address in the user's browser; true when that started.
  virtual bool LaunchUrl(const char* url) = 0;
  // Platform: the entry box over `rect` (device pixels, already one pixel wider and taller)
  // with the text, limit and filter of `entry`, in `style` at the scale; false when it cannot. The platform reports
  // focus changes, Return, Escape and clicks through SetTextEntryState and fills the text on request.
  virtual bool CreateTextEntryBox(const TextEntry& entry, const IRect& rect, const IText& style) = 0;
  // Platform: the box's current text, at most size - 1 bytes, always terminated.
  virtual void ReadTextEntryBox(char* text, int size) = 0;
  virtual void DestroyTextEntryBox() = 0;
  // Platform: the window follows a new size (device pixels); the back buffer is new.
  virtual void ResizeWindow(int width, int height) {}
  // Platform: the window is to be repainted within `rect` now (inside the timer tick);
  // platforms call Paint from their expose or paint handler.
  virtual void InvalidateRect(const IRect& rect) = 0;
  // Platform: the host's editor-idle call (X11 pumps its events and runs the timer here).
  virtual void PumpEvents() {}

  // ---- Controls -----------------------------------------------------------------------------
  // Takes ownership; answers the control's index. List order is drawing order; hit testing
  // goes the other way.
  int AddControl(IControl* control);
  int NControls() const { return static_cast<int>(controls_.size()); }
  IControl* GetControl(int index) const;
  // Marks every control dirty without sending.
  void RedrawAll();
  // Repaints the whole window on the next tick (menus and dialogs that covered it).
  void InvalidateAll() { fullRepaint_ = true; }
  void HandleMouseOver(bool on) { mouseOverTracking_ = on; }
  bool MouseOverTracking() const { return mouseOverTracking_; }
  void EnableTooltips(bool on) { tooltips_ = on; }
  bool TooltipsEnabled() const { return tooltips_; }
  void SetStrictDrawing(bool on) { strictDrawing_ = on; }
  void SetKeyCatcher(IControl* control) { keyCatcher_ = control; }
  int FrameRate() const { return frameRate_; }
  int TimerIntervalMs() const { return 1000 / frameRate_; }
  IPlugBase* Plug() const { return plug_; }
  // Called on the user-interface thread at every timer tick, after the posted values are
  // taken and before the dirty controls are drawn (the panel's button repeat runs here).
  using TimerHandler = void (*)(void* context);
  void SetTimerHandler(TimerHandler handler, void* context) {
    timerHandler_ = handler;
    timerContext_ = context;
  }
  // Called on the user-interface thread when the timer sees a program change.
  using ProgramChangedHandler = void (*)(void* context);
  void SetProgramChangedHandler(ProgramChangedHandler handler, void* context) {
    programChangedHandler_ = handler;
    programChangedContext_ = context;
  }

  // ---- Drawing: into the back buffer, clipped to the drawing rectangle ----------------------
  // Frame n (1-based) of a strip into rect.
  bool BlitFrame(const IBitmap& bitmap, const IRect& rect, int frame, const IChannelBlend* blend = nullptr);
  bool Blit(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY, const IChannelBlend* blend = nullptr);
  bool FillRect(LICE_pixel color, const IRect& rect, const IChannelBlend* blend = nullptr);
  bool DrawRect(LICE_pixel color, const IRect& rect, const IChannelBlend* blend = nullptr);
  bool FillCircle(LICE_pixel color, float cx, float cy, float radius, const IChannelBlend* blend = nullptr);
  // The rectangle the text would take when drawn at rect's left and top (measured at the
  // scale, answered in editor pixels, rounded outwards).
  IRect MeasureText(const IText& style, const char* text, const IRect& rect);
  LICE_IBitmap* BackBuffer() { return backBuffer_.get(); }
  const IRect& DrawingRect() const { return drawRect_; }

  // ---- Events: called by the platform with the editor lock held ----------------------------
  // Coordinates are in editor pixels. These are the dispatch rules; the window rules (text
  // entry open, capture, tooltips) are in the On* handlers below, which take device pixels.
  void OnMouseDown(int x, int y, const IMouseMod& mod);
  void OnMouseUp(int x, int y, const IMouseMod& mod);
  // True when the control took the double click as a press (then capture the mouse).
  bool OnMouseDblClick(int x, int y, const IMouseMod& mod);
  void OnMouseWheel(int x, int y, const IMouseMod& mod, int steps);
  // True when a control handled the key; otherwise pass it on to the host.
  bool OnKeyDown(int x, int y, int key);
  // True when the mouse is over a control (mouse-over tracking on).
  bool OnMouseOver(int x, int y, const IMouseMod& mod);
  void OnMouseOut();
  // The window rules: a button press commits an open text entry instead of reaching the
  // controls; a move with a button held drags the captured control; the wheel cancels an
  // entry. Answers as the dispatch does (press: nothing; key: handled).
  void OnButtonPress(int x, int y, const IMouseMod& mod, bool doubleClick);
  void OnButtonRelease(int x, int y, const IMouseMod& mod);
  void OnPointerMove(int x, int y, const IMouseMod& mod);
  void OnWheel(int x, int y, const IMouseMod& mod, int steps);
  // A key at a device position; true when a control handled it (OnKeyDown).
  bool OnKey(int x, int y, int key);
  // One timer tick (every TimerIntervalMs): takes the posted values, finishes a text entry,
  // repaints what is dirty through InvalidateRect, and counts quiet ticks.
  void OnTimer();
  // One paint: draws every visible control that meets `rect` (device pixels), in list order,
  // then presents `rect`. Controls wholly inside `rect` are marked clean.
  void Paint(const IRect& rect);

  int CapturedControl() const { return mouseCapture_; }
  int MouseOverControl() const { return mouseOver_; }
  // The tooltip of the control under the mouse ("" when none).
  const char* MouseOverTooltip() const;
  // Takes the posted values now (the timer does this; Open too).
  void ApplyPendingValues();

  // ---- Text entry ---------------------------------------------------------------------------
  const TextEntry& Entry() const { return entry_; }
  // The platform reports the box's events: focus gained (1), focus lost or Return (4),
  // Escape (3).
  void SetTextEntryState(TextEntry::State state) { entry_.SetState(state); }

  // ---- Threads ------------------------------------------------------------------------------
  std::recursive_mutex& EditorLock() { return lock_; }
  // True while a Close from another thread waits: modal loops (menus, boxes, dialogs) end at
  // once with no answer.
  bool ClosePending() const { return closePending_.load(std::memory_order_acquire); }

 protected:
  // The window opened or closed (platforms call these from Open/CloseEditorWindow).
  void WindowOpened();
  void WindowClosed();

 private:
  // The scale the editor should have now: the user's, the host's, the desktop's.
  int WantedPercent(void* parentWindow);
  // Takes a new scale: sizes, drawings, buffer and window; asks the frame first while the
  // window is open.
  ScaleChange ApplyScale(int percent);
  void MakeBackBuffer();
  int HitTest(int x, int y) const;
  bool FinishTextEntry();
  IControl* ControlAt(int index) const { return index >= 0 && index < NControls() ? controls_[index].get() : nullptr; }
  void ApplyValue(int index, double normalised);
  LICE_BlendMode Mode(const IChannelBlend* blend) const;

  IPlugBase* plug_;
  std::vector<std::unique_ptr<IControl>> controls_;
  int editorWidth_;
  int editorHeight_;
  int width_;  // device pixels
  int height_;
  int scale_ = editor_scale::kMinPercent;
  int userZoom_ = editor_scale::kAuto;
  double hostFactor_ = 0.0;
  double desktopFactor_ = 0.0;  // as last asked of the platform
  EditorFrame* frame_ = nullptr;
  // The drawings of the bitmaps at the current scale, by resource id.
  std::vector<std::pair<int, const LICE_IBitmap*>> images_;
  int frameRate_;
  int mouseCapture_ = -1;
  int mouseX_ = 0;
  int mouseY_ = 0;
  int mouseOver_ = -1;
  bool mouseOverTracking_ = false;
  bool strictDrawing_ = true;
  bool tooltips_ = false;
  bool fullRepaint_ = false;
  IRect drawRect_;
  // Made when the window opens, freed when it closes.
  std::unique_ptr<LICE_SysBitmap> backBuffer_;
  int idleCount_ = 0;
  IControl* keyCatcher_ = nullptr;
  std::recursive_mutex lock_;
  ValueMailbox mailbox_;
  TextEntry entry_;
  std::thread::id windowThread_{};
  std::atomic<bool> closePending_{false};
  ProgramChangedHandler programChangedHandler_ = nullptr;
  void* programChangedContext_ = nullptr;
  TimerHandler timerHandler_ = nullptr;
  void* timerContext_ = nullptr;
};
