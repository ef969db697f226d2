// The plug-in library's own module: its handle, recorded by DllMain, and its resources.
#include "platform/Platform.h"

#include "platform/win32/WindowsHeaders.h"

#include <atomic>
#include <mutex>

namespace platform {
namespace {

std::atomic<void*> g_module{nullptr};

// Tables handed over by RegisterEmbeddedResources. The plug-in library finds its banks in
// its own resource section; the tables serve programs without one (test executables that
// link the libraries directly), so that the same lookups work there as on POSIX.
constexpr std::size_t kMaxTables = 8;
struct Registry {
  std::mutex mutex;
  const EmbeddedResource* tables[kMaxTables] = {};
  std::size_t counts[kMaxTables] = {};
  std::size_t used = 0;
};

Registry& Registered() {
  static Registry registry;
  return registry;
}

ResourceBytes FindRegistered(const char* name, const char* type) {
  Registry& registry = Registered();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (std::size_t t = 0; t < registry.used; ++t) {
    for (std::size_t i = 0; i < registry.counts[t]; ++i) {
      const EmbeddedResource& resource = registry.tables[t][i];
      if (resource.name != nullptr && resource.type != nullptr &&
          lstrcmpiA(resource.name, name) == 0 && lstrcmpiA(resource.type, type) == 0) {
        return {resource.data, resource.size};
      }
    }
  }
  return {};
}

}  // namespace

void SetModuleHandle(void* handle) { g_module.store(handle, std::memory_order_release); }
void* ModuleHandle() { return g_module.load(std::memory_order_acquire); }

void RegisterEmbeddedResources(const EmbeddedResource* table, std::size_t count) {
  if (table == nullptr || count == 0) return;
  Registry& registry = Registered();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (std::size_t i = 0; i < registry.used; ++i) {
    if (registry.tables[i] == table) return;
  }
  if (registry.used == kMaxTables) return;
  registry.tables[registry.used] = table;
  registry.counts[registry.used] = count;
  ++registry.used;
}

// A null module handle (an executable that never ran DllMain, such as a test) searches
// the executable's own resources. FindResourceA compares names and types without regard
// to case and takes "#101" for the numeric id 101.
ResourceBytes FindModuleResource(const char* name, const char* type) {
  if (name == nullptr || type == nullptr) return {};
  HMODULE module = static_cast<HMODULE>(ModuleHandle());
  HRSRC resource = FindResourceA(module, name, type);
  if (resource == nullptr) return FindRegistered(name, type);
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
