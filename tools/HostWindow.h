// The test host's top-level window that holds a plug-in's editor, one implementation per
// platform (HostWindowX11.cpp; a Win32 one mirrors it). Used on the host's one thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

class HostWindow {
 public:
  // A visible window of the given client size; null when no window can be made (no display).
  static std::unique_ptr<HostWindow> Create(const char* title, int width, int height);
  virtual ~HostWindow() = default;
  // What the editor-open request takes: an X11 window id, or an HWND.
  virtual void* Handle() const = 0;
  // Handles the window's pending events. Keys that reached this window (passed on by the
  // editor, or pressed while the host has the focus) are appended by name ("a", "F5",
  // "Escape"). False once the user closed the window.
  virtual bool Pump(std::vector<std::string>& keys) = 0;
  virtual void Resize(int width, int height) = 0;
};
