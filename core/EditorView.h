// What the plug-in core needs of an attached editor. Values reach the editor through a
// mailbox that any thread may post to (the audio thread included); everything else runs on
// the host's user-interface thread. The editor itself never runs on the audio thread: it
// takes the posts in its own timer.
#pragma once

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
  // Called by AttachEditor after the current values were posted: take them now and create the
  // drawing surfaces (no window exists yet).
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
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};
