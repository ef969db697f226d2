// The X11 window an LV2 UI hands its host: a plain child of the host's parent window, sized
// to the editor, which the editor opens its own window inside. The host moves and resizes
// this one (it is the UI's widget); the editor's window stays the editor's.
#pragma once

#include <cstdint>

namespace lv2 {

class UiWindow {
 public:
  UiWindow() = default;
  ~UiWindow();
  UiWindow(const UiWindow&) = delete;
  UiWindow& operator=(const UiWindow&) = delete;

  // Creates and maps the window in the parent (an X11 window id). False when no display
  // can be opened or the parent does not exist.
  bool Create(std::uintptr_t parent, int width, int height);
  std::uintptr_t Id() const { return window_; }
  void Resize(int width, int height);

 private:
  void* display_ = nullptr;
  std::uintptr_t window_ = 0;
};

}  // namespace lv2
