// What the plug-in core needs of an attached editor. The editor runs on the host's
// user-interface thread; the core calls these with the plug-in lock held.
#pragma once

class EditorView {
 public:
  virtual ~EditorView() = default;
  // A parameter's value changed outside the editor (normalised 0..1).
  virtual void SetParameterNormalised(int index, double normalised) = 0;
  // Shows a plain value the host is about to store (text to value).
  virtual void SetParameterPlain(int index, double plain) = 0;
  // Opens the editor window inside the host's parent window; false when it cannot.
  virtual bool Open(void* parentWindow) = 0;
  virtual void Close() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};
