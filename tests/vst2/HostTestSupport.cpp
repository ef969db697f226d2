// Temporary home, plug-in loading and allocation counting for the host-level tests.
#include "tests/vst2/HostTestSupport.h"

#include "tools/AllocationCounter.h"

#include <cstdlib>
#include <filesystem>
#include <random>

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
