// Temporary home, plug-in loading and allocation counting for the host-level tests.
#include "tests/vst2/HostTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

void AllocationCounter::Start() {
  allocations = 0;
  counting = true;
}

long AllocationCounter::Stop() {
  counting = false;
  return allocations.load();
}

namespace {
void SetVariable(const char* name, const std::string& value) {
#if defined(_WIN32)
  _putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}
}  // namespace

// On Windows the settings go to the local application data folder of the Wine prefix,
// which the test runner makes fresh for every run.
void UseTemporaryHome() {
  namespace fs = std::filesystem;
  std::random_device random;
  const fs::path home = fs::temp_directory_path() / ("tesvar-home-" + std::to_string(random()));
  fs::create_directories(home);
  SetVariable("HOME", home.string());
  SetVariable("XDG_CONFIG_HOME", (home / ".config").string());
  SetVariable("XDG_DATA_HOME", (home / ".local/share").string());
  SetVariable("XDG_CACHE_HOME", (home / ".cache").string());
}

std::unique_ptr<PluginHost> LoadPlugin(const std::string& product, const std::string& vendor) {
  static const bool homeSet = (UseTemporaryHome(), true);
  (void)homeSet;
  auto host = std::make_unique<PluginHost>();
  host->productString = product;
  host->vendorString = vendor;
  if (!host->Load(TESVAR_PLUGIN_PATH)) {
    ADD_FAILURE() << host->Error();
    return nullptr;
  }
  host->Start(44100.0, 512);
  return host;
}
