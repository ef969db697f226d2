// The filter for the plug-in's own X connections.
#include "editor/framework/x11/X11ErrorFilter.h"

#include <atomic>
#include <mutex>

namespace {

// X errors on the editor's own connections (a window the host destroyed under us) are not
// fatal; errors on any other connection go to the handler that was there before.
constexpr int kMaxDisplays = 64;
std::atomic<Display*> gDisplays[kMaxDisplays];
std::mutex gHandlerMutex;
XErrorHandler gPreviousHandler = nullptr;
int gHandlerUsers = 0;

int IgnoreEditorErrors(Display* display, XErrorEvent* error) {
  for (std::atomic<Display*>& slot : gDisplays) {
    if (slot.load() == display) return 0;
  }
  return gPreviousHandler != nullptr ? gPreviousHandler(display, error) : 0;
}

}  // namespace

void RegisterQuietDisplay(Display* display) {
  std::lock_guard<std::mutex> guard(gHandlerMutex);
  for (std::atomic<Display*>& slot : gDisplays) {
    Display* empty = nullptr;
    if (slot.compare_exchange_strong(empty, display)) break;
  }
  if (gHandlerUsers++ == 0) gPreviousHandler = XSetErrorHandler(IgnoreEditorErrors);
}

void UnregisterQuietDisplay(Display* display) {
  std::lock_guard<std::mutex> guard(gHandlerMutex);
  for (std::atomic<Display*>& slot : gDisplays) {
    Display* mine = display;
    if (slot.compare_exchange_strong(mine, nullptr)) break;
  }
  if (--gHandlerUsers == 0) {
    // Put the old handler back only when nobody replaced ours meanwhile.
    XErrorHandler current = XSetErrorHandler(gPreviousHandler);
    if (current != IgnoreEditorErrors) XSetErrorHandler(current);
    gPreviousHandler = nullptr;
  }
}
