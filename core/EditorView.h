// What the plug-in core needs of an attached editor. Values reach the editor through a
// mailbox that any thread may post to (the audio thread included); everything else runs on
// the host's user-interface thread. The editor itself never runs on the audio thread: it
// takes the posts in its own timer.
#pragma once

// The window that holds an editor, as the editor sees it: the plug-in format's adapter (the
// VST2 adapter maps it to effEditGetRect and audioMasterSizeWindow; an LV2 UI to its resize
// feature; a program of its own to its top-level window). Called on the user-interface thread.
class EditorFrame {
 public:
  virtual ~EditorFrame() = default;
  // The editor's window is to take width x height device pixels now (the user chose another
  // zoom, the host's or the desktop's scale changed). The editor answers this size from
  // EditorView::Width/Height during the call. True when the holder has taken (or will take)
  // the size; false when it refuses, and the editor then keeps its current size until it
  // opens again.
  virtual bool EditorResizeRequested(int width, int height) = 0;
};

class EditorView {
 public:
  virtual ~EditorView() = default;

  // ---- Any thread: never blocks, never allocates ---------------------------------------------
  // A parameter's value changed outside the editor: a plain value (the parameter's own units)
  // or, when `normalised`, a value 0..1. Controls show it at the editor's next timer tick.
  virtual void ShowParamValue(int index, double value, bool normalised) = 0;
  // The current program changed (program switch, state or bank load).
  virtual void ProgramChanged() = 0;

  // ---- The thread that builds the plug-in, without the plug-in lock --------------------------
  // Called by AttachEditor after the current values were posted: take them now (no window
  // exists yet; the drawing surfaces are made when the window opens).
  virtual void Attached() = 0;

  // ---- The host's user-interface thread, without the plug-in lock ---------------------------
  // Opens the editor window inside the host's parent window (an HWND on Windows, an X11
  // window id on Linux); false when it cannot.
  virtual bool Open(void* parentWindow) = 0;
  // Closes the window; safe from any thread and when no window is open.
  virtual void Close() = 0;
  // The host's editor-idle call: where the platform has no message loop of its own (X11)
  // this handles the window's events and its timer. Calls from a thread other than the one
  // that opened the window do nothing.
  virtual void Idle() = 0;
  // The window's size in device pixels: while open, its current size; while closed, the size
  // it opens at (the scale chosen as SetHostScale describes).
  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // ---- Scale: the host's user-interface thread, without the plug-in lock ---------------------
  // The scale the host's window system asks for, as a factor (1.0 = 100 %); 0 forgets it. The
  // editor's scale is, first found first: the user's "Zoom" setting unless it is "Auto"; else
  // this factor; else the desktop's (Xft.dpi, GDK_SCALE, QT_SCALE_FACTOR on Linux, the
  // monitor's DPI on Windows). Factors become the nearest of 100, 125, 150, 175 and 200 %
  // (300 % and less above 200 gives 200 %; anything outside 100 ... 300 % gives 100 %).
  // An open window changes size at once through the frame.
  virtual void SetHostScale(double factor) {}
  // The editor's scale in percent (100 ... 200).
  virtual int ScalePercent() const { return 100; }
  // Who holds the window; null for none. The last one set is asked (an adapter set after the
  // VST2 adapter's own takes its place).
  virtual void SetFrame(EditorFrame* frame) {}
};
