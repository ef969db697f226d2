// A real Windows editor window inside a host window (under Wine, on a virtual X display), and a
// user that acts through SendInput from any thread and reads the screen with BitBlt.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

// The editor's headers before <windows.h>, whose macros (DrawText) would rename their members.
#include "FrameworkTestSupport.h"
#include "editor/framework/win32/IGraphicsWin.h"
#include "tools/HostWindow.h"

#include <windows.h>

namespace editortest {

// The user: input as the system's own, from any thread.
class WinUser {
 public:
  static POINT OnScreen(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
  }
  static void MoveTo(HWND window, int x, int y) {
    const POINT p = OnScreen(window, x, y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((p.x * 65535LL) / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>((p.y * 65535LL) / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
  }
  static void Button(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
  }
  static void Key(WORD key) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  }
  // Characters as typed text (the focused window receives them as WM_CHAR).
  static void Type(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
      INPUT in[2] = {};
      in[0].type = in[1].type = INPUT_KEYBOARD;
      in[0].ki.wScan = in[1].ki.wScan = static_cast<WORD>(static_cast<unsigned char>(*p));
      in[0].ki.dwFlags = KEYEVENTF_UNICODE;
      in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
      SendInput(2, in, sizeof(INPUT));
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  // A digest of a region of the window as the screen shows it.
  static std::uint64_t Screenshot(HWND window, int x, int y, int w, int h) {
    const POINT p = OnScreen(window, x, y);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, p.x, p.y, SRCCOPY);
    GdiFlush();
    std::uint64_t digest = 1469598103934665603ULL;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; pixels != nullptr && i < w * h; ++i) digest = (digest ^ (pixels[i] & 0xFFFFFF)) * 1099511628211ULL;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return digest;
  }
};

struct WindowSearch {
  const char* name;
  HWND found;
};

inline BOOL CALLBACK FindVisibleOfClass(HWND window, LPARAM p) {
  auto* search = reinterpret_cast<WindowSearch*>(p);
  char name[32] = {};
  GetClassNameA(window, name, sizeof(name));
  if (std::string(name) != search->name || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible window of the class ("#32770" system dialogs, "#32768" menus) that `thread`
// shows, waiting up to `milliseconds` for it; null when none came.
inline HWND WaitForWindowOfClass(DWORD thread, const char* className, int milliseconds = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    WindowSearch search{className, nullptr};
    EnumThreadWindows(thread, FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    // Menus belong to no thread's window list on some systems: look at the top level too.
    if (search.found == nullptr) EnumWindows(FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || milliseconds <= 0 || std::chrono::steady_clock::now() >= end) return search.found;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// One figure of HostProcessStats ("windows", "gdi", "handles", "private").
inline long ProcessFigure(const char* name) {
  std::istringstream words(HostProcessStats(nullptr));
  std::string word;
  words >> word;  // the resident memory
  while (words >> word) {
    long value = 0;
    words >> value;
    if (word == name) return value;
  }
  return -1;
}

// The test plug-in's editor in a real window: a background, a knob on parameter 0 (with a
// tooltip), a key taker and an entry field, inside a host window.
struct WinEditor {
  WinEditor() {
    graphics = new IGraphicsWin(&plug, 300, 200);
    graphics->HandleMouseOver(true);
    graphics->EnableTooltips(true);
    graphics->AddControl(new IPanelControl(&plug, IRect(0, 0, 300, 200), IColor(255, 20, 20, 20)));
    for (int f = 0; f < 16; ++f) {
      const LICE_Rect r{0, f * 40, 40, (f + 1) * 40};
      LICE_Clear(&strip, LICE_RGBA(f * 16, 255 - f * 16, 40, 255), &r);
    }
    knob = new IKnobMultiControl(&plug, 20, 20, 0, IBitmap{&strip, 40, 640, 16}, IDirection::kVertical, 1.0);
    knob->SetTooltip("Cutoff");
    graphics->AddControl(knob);
    keys = new RecordingControl(&plug, IRect(200, 20, 280, 60), -1, IColor(255, 90, 90, 160));
    graphics->AddControl(keys);
    field = new RecordingControl(&plug, IRect(100, 120, 280, 145), 0, IColor(255, 60, 60, 60));
    graphics->AddControl(field);
    plug.AttachEditor(graphics);
    window = HostWindow::Create("Editor test host", 300, 200);
  }
  ~WinEditor() {
    graphics->Close();
    window.reset();
  }
  bool Open() { return window && graphics->Open(window->Handle()); }
  // The host's side for a while: its message loop (the editor's window included) and idle.
  void Run(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
      graphics->Idle();
      if (window) window->Pump(hostKeys);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
  }
  HWND Hwnd() const { return static_cast<HWND>(graphics->WindowHandle()); }
  HWND HostHwnd() const { return window ? static_cast<HWND>(window->Handle()) : nullptr; }

  TestPlug plug;
  LICE_MemBitmap strip{40, 640};
  IGraphicsWin* graphics;  // owned by plug
  IKnobMultiControl* knob;
  RecordingControl* keys;
  RecordingControl* field;
  std::unique_ptr<HostWindow> window;
  std::vector<std::string> hostKeys;
};

}  // namespace editortest
