// The program's top-level window: the plug-in's editor fills it, a status strip runs below
// the editor, and the keys that reach the window (those the editor passes on to its host,
// and those pressed while the window itself has the focus) go to the computer keyboard.
// Keys the editor keeps (its text fields, dialogs and menus take theirs) never arrive here.
// Used on the main thread only.
#pragma once

#include <memory>
#include <string>

#include "standalone/ComputerKeyboard.h"

namespace standalone {

class StandaloneWindow {
 public:
  static constexpr int kStripHeight = 20;

  // `handler` runs when a connection to the display breaks (the server ended, or the
  // program's windows were killed); the window system cannot be used any more, and the
  // handler ends the process. Set before Create.
  static void OnDisplayLost(void (*handler)());

  // A visible window for an editor of the given size; null with *error set when there is
  // no display.
  static std::unique_ptr<StandaloneWindow> Create(int editorWidth, int editorHeight, std::string* error);
  virtual ~StandaloneWindow() = default;

  // What the editor-open request takes (an X11 window id).
  virtual void* Handle() const = 0;
  // The connection's file descriptor, for waiting on events.
  virtual int EventFd() const = 0;
  // Handles the pending events: keys to `keyboard`, whose messages go to `sink`. A held key
  // found up without its release having arrived (the focus moved away) is released here.
  // False once the user closed the window.
  virtual bool Pump(ComputerKeyboard& keyboard, const ComputerKeyboard::Sink& sink) = 0;
  // "Tesvar - <text>" (characters outside printable ASCII shown as '?').
  virtual void SetTitle(const std::string& text) = 0;
  // The strip's two texts, left and right aligned; redrawn only when they change.
  virtual void SetStatus(const std::string& left, const std::string& right) = 0;
  // Follows an editor that changed its size.
  virtual void FitEditor(int editorWidth, int editorHeight) = 0;
};

}  // namespace standalone
