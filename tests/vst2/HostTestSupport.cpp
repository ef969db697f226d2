// Temporary home, plug-in loading and allocation counting for the host-level tests.
#include "tests/vst2/HostTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#include "tests/platform/TempHome.h"

// On Windows the settings go to the local application data folder of the Wine prefix,
// which the test runner makes fresh for every run.
void UseTemporaryHome() {
  namespace fs = std::filesystem;
  // Removed when the test program ends.
  struct Folder {
    fs::path path;
    ~Folder() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  };
  std::random_device random;
  static Folder folder{fs::temp_directory_path() / ("tesvar-home-" + std::to_string(random()))};
  const fs::path& home = folder.path;
  fs::create_directories(home);
  SetEnvironmentVariable("HOME", home.string());
  SetEnvironmentVariable("XDG_CONFIG_HOME", (home / ".config").string());
  SetEnvironmentVariable("XDG_DATA_HOME", (home / ".local/share").string());
  SetEnvironmentVariable("XDG_CACHE_HOME", (home / ".cache").string());
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
