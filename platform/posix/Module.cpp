// The plug-in library's module services for POSIX systems: the embedded resources that
// the resources library registers, and dynamic libraries through the dynamic loader.
#include "platform/Platform.h"
#include "platform/EmbeddedResources.h"

#include <dlfcn.h>

#include <atomic>

namespace platform {
namespace {

std::atomic<void*> moduleHandle{nullptr};

}  // namespace

void SetModuleHandle(void* handle) { moduleHandle.store(handle); }
void* ModuleHandle() { return moduleHandle.load(); }

ResourceBytes FindModuleResource(const char* name, const char* type) { return FindRegisteredResource(name, type); }

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
