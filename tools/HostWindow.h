// The test host's top-level window that holds a plug-in's editor, one implementation per
// platform (HostWindowX11.cpp, HostWindowWin32.cpp). Used on the host's one thread.
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
  // Where the window's client area stands on the screen.
  virtual void ClientOrigin(int* x, int* y) const = 0;
};

// Figures of this process for the leak checks, as words: the resident memory in kB first,
// then what the platform counts ("windows N gdi N handles N ..."). `pluginCode` is an address
// inside the plug-in library (its window class is looked up there).
std::string HostProcessStats(const void* pluginCode);
// Processor time used by this process so far.
double HostCpuSeconds();
