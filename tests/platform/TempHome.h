// A test fixture that points HOME and the XDG folders at a fresh temporary folder, so no
// test ever reads or writes the real home. Set up before any platform call of a test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

inline void SetEnvironmentVariable(const char* name, const std::string& value) {
#if defined(_WIN32)
  _putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

#if defined(_WIN32)
#include "platform/win32/WindowsHeaders.h"
// The fixture's own SetEnvironmentVariable below, not the system's macro of that name.
#undef SetEnvironmentVariable
#endif

class TempHome : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    std::random_device random;
    home_ =
        (fs::temp_directory_path() / ("tesvar-home-" + std::to_string(random()) + std::to_string(random()))).string();
    fs::create_directories(home_);
    // The settings folder is left uncreated: a first start must make it.
    SetEnvironmentVariable("HOME", home_);
    SetEnvironmentVariable("XDG_CONFIG_HOME", home_ + "/.config");
    SetEnvironmentVariable("XDG_DATA_HOME", home_ + "/.local/share");
    SetEnvironmentVariable("XDG_CACHE_HOME", home_ + "/.cache");
#if defined(_WIN32)
    // Windows takes the folders from the profile, not the environment: the local application
    // data and documents folders move into this home, which only a throw-away profile may
    // allow (tools/wine-test.sh runs the tests in a temporary Wine prefix).
    const char* temporary = std::getenv("TESVAR_TEMPORARY_PROFILE");
    if (temporary == nullptr || std::string(temporary) != "1") {
      GTEST_SKIP() << "needs a temporary profile (tools/wine-test.sh)";
    }
    fs::create_directories(Path(".config"));
    fs::create_directories(Path("Documents"));
    // The shell reads the per-user folders from this key (the calls that would set them,
    // SHSetFolderPath and SHSetKnownFolderPath, are missing from Wine). TearDown puts the
    // profile's own folders back for the tests that follow.
    moved_ = true;
    ASSERT_TRUE(MoveShellFolder("Local AppData", Path(".config"), &savedLocal_));
    ASSERT_TRUE(MoveShellFolder("Personal", Path("Documents"), &savedDocuments_));
#endif
  }

  void TearDown() override {
#if defined(_WIN32)
    if (moved_) {
      MoveShellFolder("Local AppData", savedLocal_, nullptr);
      MoveShellFolder("Personal", savedDocuments_, nullptr);
    }
#endif
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
  }

  const std::string& Home() const { return home_; }
  // Written with the system's separator, as the platform layer composes its paths.
  std::string Path(const std::string& relative) const {
#if defined(_WIN32)
    std::string path = home_ + "\\" + relative;
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    return path;
#else
    return home_ + "/" + relative;
#endif
  }
  // Where the plug-in keeps its settings under this home.
  std::string Ini() const { return Path(".config/QuellmarkMusic/tesvar.ini"); }

  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }

 private:
#if defined(_WIN32)
  // Sets a per-user folder of the profile (an empty path removes the setting); the value it
  // had goes to *saved when asked.
  static bool MoveShellFolder(const char* name, const std::string& path, std::string* saved) {
    HKEY folders = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                        0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &folders, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    if (saved != nullptr) {
      char old[MAX_PATH * 2] = {};
      DWORD size = sizeof old - 1;
      if (RegQueryValueExA(folders, name, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS) {
        *saved = old;
      }
    }
    const LONG result =
        path.empty() ? RegDeleteValueA(folders, name)
                     : RegSetValueExA(folders, name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                      static_cast<DWORD>(path.size() + 1));
    RegCloseKey(folders);
    return result == ERROR_SUCCESS;
  }

  bool moved_ = false;
  std::string savedLocal_;
  std::string savedDocuments_;
#endif
  std::string home_;
};
