// What the panel's command handler needs of the editor: a narrow seam, so the programmer
// and the browser run (and are tested) with or without a window. The editor layout
// implements it; everything but OnEditorThread is called on the user-interface thread.
#pragma once

#include <string>

namespace panel {

class PanelView {
 public:
  virtual ~PanelView() = default;

  virtual bool IsWindowOpen() const = 0;
  // Whether the caller runs on the thread that drives the editor's window and timer. A host
  // may call its idle from another thread; the panel then leaves the controls alone.
  virtual bool OnEditorThread() const = 0;
  // The FILE button's folder dialog (a save dialog whose file name is ignored), starting in
  // folder. Answers the chosen folder in folder, or false when cancelled.
  virtual bool PromptFolder(std::string& folder) = 0;
  // Shows one view's controls and hides the other's (hidden controls keep their values).
  virtual void ShowView(bool altView) = 0;
  // The browser's lists changed: the rows and scroll bars read them again.
  virtual void RefreshBrowser() = 0;
  // Programmer or plug-in state changed: lit buttons, displays, labels and the voices
  // digits are redrawn where their look changed.
  virtual void RefreshPanel() = 0;
};

}  // namespace panel
