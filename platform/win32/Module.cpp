// The plug-in library's own module: its handle, recorded by DllMain, and its resources.
#include "platform/Platform.h"
#include "platform/EmbeddedResources.h"

#include "platform/win32/WindowsHeaders.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<void*> g_module{nullptr};

}  // namespace

void SetModuleHandle(void* handle) { g_module.store(handle, std::memory_order_release); }
void* ModuleHandle() { return g_module.load(std::memory_order_acquire); }

// A null module handle (an executable that never ran DllMain, such as a test) searches
// the executable's own resources. FindResourceA compares names and types without regard
// to case and takes "#101" for the numeric id 101.
ResourceBytes FindModuleResource(const char* name, const char* type) {
  if (name == nullptr || type == nullptr) return {};
  HMODULE module = static_cast<HMODULE>(ModuleHandle());
  HRSRC resource = FindResourceA(module, name, type);
  // Programs without the resource (test executables) use the tables registered in code.
  if (resource == nullptr) return FindRegisteredResource(name, type);
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, resource);
  if (data == nullptr || size == 0) return {};
  // Resources stay mapped as long as the module is loaded; nothing needs releasing.
  return {static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
}

}  // namespace platform

// The loader calls this under its loader lock, so it only records the handle: no
// allocation, no library loading, no locks. Everything else waits for the first instance.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) platform::SetModuleHandle(instance);
  return TRUE;
}
