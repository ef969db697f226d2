// The test host's window on Windows: a plain top-level window whose loop dispatches every
// message of the thread (the plug-in's windows included), as a host's message loop does; and
// the process figures of the leak checks.
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/HostWindow.h"

namespace {

constexpr const char* kClassName = "TesvarTestHostWindow";

// Key names as the X11 host reports them ("q", "5", "F5", "Escape").
std::string KeyName(WPARAM key) {
  if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key - 'A' + 'a'));
  if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  switch (key) {
    case VK_ESCAPE: return "Escape";
    case VK_RETURN: return "Return";
    case VK_SPACE: return "space";
    case VK_TAB: return "Tab";
    default: {
      char name[16];
      std::snprintf(name, sizeof(name), "vk%02X", static_cast<unsigned>(key));
      return name;
    }
  }
}

class HostWindowWin32 : public HostWindow {
 public:
  ~HostWindowWin32() override {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  }

  bool Init(const char* title, int width, int height) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    if (RegisterClassExA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, style, FALSE);
    hwnd_ = CreateWindowExA(0, kClassName, title, style, 0, 0, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                            wc.hInstance, this);
    if (hwnd_ == nullptr) return false;
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
    return true;
  }

  void* Handle() const override { return hwnd_; }

  bool Pump(std::vector<std::string>& keys) override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    keys.insert(keys.end(), keys_.begin(), keys_.end());
    keys_.clear();
    return !closed_;
  }

  void ClientOrigin(int* x, int* y) const override {
    POINT p{0, 0};
    ClientToScreen(hwnd_, &p);
    *x = p.x;
    *y = p.y;
  }

  void Resize(int width, int height) override {
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)), FALSE);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindowWin32*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr) {
      if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        self->keys_.push_back(KeyName(wParam));
        return 0;
      }
      if (message == WM_CLOSE) {
        self->closed_ = true;
        return 0;
      }
      if (message == WM_NCDESTROY) self->hwnd_ = nullptr;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }

  HWND hwnd_ = nullptr;
  bool closed_ = false;
  std::vector<std::string> keys_;
};

// ---- Process figures ------------------------------------------------------------------------

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(hwnd, CountChild, count);
  return TRUE;
}

// Every window of this process, top-level ones (tooltips and dialogs included) and their
// descendants.
int CountWindows() {
  int count = 0;
  EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Kernel handles: GetProcessHandleCount where it counts (Windows); else every handle value
// that answers (Wine answers 0 to the former).
long CountHandles() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return static_cast<long>(count);
  long found = 0;
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++found;
  }
  return found;
}

// GDI objects: GetGuiResources where it counts (Windows); Wine answers 0, so there the
// process's GDI handle table (the same 24-byte entries, found through the process block) is
// walked, every entry checked as a live handle of this process with GetObjectType. The walk
// proves itself on a few brushes first and answers -1 when it does not count them.
long WalkGdiTable() {
  // GCC takes the thread block's segment read in the system header for an array access.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  const auto* peb = reinterpret_cast<const std::uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
#if defined(_WIN64)
  constexpr std::size_t kTableOffset = 0xF8;
#else
  constexpr std::size_t kTableOffset = 0x94;
#endif
  const auto* table = *reinterpret_cast<const std::uint8_t* const*>(peb + kTableOffset);
  constexpr std::size_t kEntries = 0x10000;
  constexpr std::size_t kEntrySize = 24;
  MEMORY_BASIC_INFORMATION info{};
  if (table == nullptr || VirtualQuery(table, &info, sizeof(info)) == 0 || info.State != MEM_COMMIT ||
      static_cast<const std::uint8_t*>(info.BaseAddress) + info.RegionSize < table + kEntries * kEntrySize) {
    return -1;
  }
  long count = 0;
  for (std::size_t i = 0; i < kEntries; ++i) {
    const std::uint8_t* entry = table + i * kEntrySize;
    const std::uint16_t upper = *reinterpret_cast<const std::uint16_t*>(entry + 12);
    const auto handle =
        reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(i | (static_cast<std::uint32_t>(upper) << 16)));
    if (upper != 0 && GetObjectType(handle) != 0) ++count;
  }
  return count;
}

long CountGdiObjects() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported > 0) return static_cast<long>(reported);
  const long before = WalkGdiTable();
  HBRUSH probes[8];
  for (HBRUSH& probe : probes) probe = CreateSolidBrush(RGB(1, 2, 3));
  const long during = WalkGdiTable();
  for (HBRUSH probe : probes) DeleteObject(probe);
  return before >= 0 && during == before + 8 ? before : -1;
}

}  // namespace

std::unique_ptr<HostWindow> HostWindow::Create(const char* title, int width, int height) {
  auto window = std::make_unique<HostWindowWin32>();
  if (!window->Init(title, width, height)) return nullptr;
  return window;
}

std::string HostProcessStats(const void* pluginCode) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  HMODULE module = nullptr;
  WNDCLASSEXA info{};
  info.cbSize = sizeof(info);
  const bool registered =
      pluginCode != nullptr &&
      GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCSTR>(pluginCode), &module) &&
      GetClassInfoExA(module, "IPlugWndClass", &info);
  char text[256];
  std::snprintf(
      text, sizeof(text), "%lu private %lu windows %d gdi %ld user %lu handles %ld class %d",
      static_cast<unsigned long>(memory.WorkingSetSize / 1024),
      static_cast<unsigned long>((memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage) / 1024),
      CountWindows(), CountGdiObjects(),
      static_cast<unsigned long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)), CountHandles(),
      registered ? 1 : 0);
  return text;
}

double HostCpuSeconds() {
  FILETIME created;
  FILETIME exited;
  FILETIME kernel;
  FILETIME user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0.0;
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}
