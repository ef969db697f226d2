// The plug-in library's module services for POSIX systems: the embedded resources that
// the resources library registers, and dynamic libraries through the dynamic loader.
#include "platform/Platform.h"

#include <dlfcn.h>

#include <atomic>
#include <cctype>
#include <mutex>

namespace platform {
namespace {

std::atomic<void*> moduleHandle{nullptr};

// Registered tables; written under the mutex, read under it too (lookups are rare:
// banks and bitmaps are fetched when an instance or its editor is built).
constexpr std::size_t kMaxTables = 8;
struct Registry {
  std::mutex mutex;
  const EmbeddedResource* tables[kMaxTables] = {};
  std::size_t counts[kMaxTables] = {};
  std::size_t used = 0;
};

Registry& Resources() {
  static Registry registry;
  return registry;
}

bool SameName(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) {
      return false;
    }
  }
  return *a == *b;
}

}  // namespace

void SetModuleHandle(void* handle) { moduleHandle.store(handle); }
void* ModuleHandle() { return moduleHandle.load(); }

void RegisterEmbeddedResources(const EmbeddedResource* table, std::size_t count) {
  if (table == nullptr || count == 0) return;
  Registry& registry = Resources();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (std::size_t i = 0; i < registry.used; ++i) {
    if (registry.tables[i] == table) return;
  }
  if (registry.used == kMaxTables) return;
  registry.tables[registry.used] = table;
  registry.counts[registry.used] = count;
  ++registry.used;
}

ResourceBytes FindModuleResource(const char* name, const char* type) {
  Registry& registry = Resources();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (std::size_t t = 0; t < registry.used; ++t) {
    for (std::size_t i = 0; i < registry.counts[t]; ++i) {
      const EmbeddedResource& resource = registry.tables[t][i];
      if (SameName(resource.name, name) && SameName(resource.type, type)) {
        return ResourceBytes{resource.data, resource.size};
      }
    }
  }
  return ResourceBytes{};
}

void* OpenLibrary(const std::string& path) {
  if (path.empty()) return nullptr;
  // Local binding keeps the library's symbols from resolving the host's or ours.
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return dlsym(library, name);
}

void CloseLibrary(void* library) {
  if (library != nullptr) dlclose(library);
}

std::string TuningLibraryPath() { return "/usr/local/lib/libMTS.so"; }

}  // namespace platform
