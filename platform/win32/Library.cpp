// Dynamic libraries (LoadLibraryW / GetProcAddress / FreeLibrary) and the place where the
// tuning service installs its library.
#include "platform/Platform.h"

#include "platform/win32/WindowsHeaders.h"

#include "platform/win32/WideText.h"

namespace platform {
namespace {

// Signatures of the two shell and COM functions the tuning path needs; both are looked
// up in modules the process has already loaded, so that nothing new is loaded here.
using KnownFolderPathFn = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);
using TaskMemFreeFn = void(WINAPI*)(void*);

// FOLDERID_ProgramFilesCommon, written out so that no COM import library is needed.
constexpr GUID kProgramFilesCommon = {0xF7F1ED05, 0x9F6D, 0x47A2, {0xAA, 0xAE, 0x29, 0xD3, 0x17, 0xC6, 0xF0, 0x66}};

constexpr wchar_t kTuningLibrarySuffix[] = L"\\MTS-ESP\\LIBMTS.dll";
// The library path fits a classic path buffer of 260 wide characters with its terminator.
constexpr std::size_t kMaxPathCharacters = 259;

template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
  Fn function = nullptr;
  FARPROC address = GetProcAddress(module, name);
  static_assert(sizeof(function) == sizeof(address));
  __builtin_memcpy(&function, &address, sizeof(function));
  return function;
}

}  // namespace

void* OpenLibrary(const std::string& path) {
  if (path.empty()) return nullptr;
  const std::wstring wide = win32::WideFromUtf8(path);
  if (wide.empty()) return nullptr;
  return LoadLibraryW(wide.c_str());
}

void* FindSymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  FARPROC address = GetProcAddress(static_cast<HMODULE>(library), name);
  void* symbol = nullptr;
  static_assert(sizeof(symbol) == sizeof(address));
  __builtin_memcpy(&symbol, &address, sizeof(symbol));
  return symbol;
}

void CloseLibrary(void* library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

std::string TuningLibraryPath() {
  HMODULE shell = GetModuleHandleW(L"Shell32.dll");
  HMODULE com = GetModuleHandleW(L"Ole32.dll");
  if (shell == nullptr || com == nullptr) return {};
  auto knownFolderPath = LookUp<KnownFolderPathFn>(shell, "SHGetKnownFolderPath");
  auto taskMemFree = LookUp<TaskMemFreeFn>(com, "CoTaskMemFree");
  if (knownFolderPath == nullptr || taskMemFree == nullptr) return {};

  PWSTR folder = nullptr;
  const HRESULT result = knownFolderPath(kProgramFilesCommon, 0, nullptr, &folder);
  // The text is the caller's to free even when the call fails.
  std::wstring path;
  if (SUCCEEDED(result) && folder != nullptr) path = folder;
  taskMemFree(folder);
  if (path.empty()) return {};

  path += kTuningLibrarySuffix;
  // A longer path would have been cut short and named the wrong file: no tuning instead.
  if (path.size() > kMaxPathCharacters) return {};
  return win32::Utf8FromWide(path);
}

}  // namespace platform
