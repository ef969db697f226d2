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

class TempHome : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    std::random_device random;
    home_ = (fs::temp_directory_path() / ("tesvar-home-" + std::to_string(random()) + std::to_string(random())))
                .string();
    fs::create_directories(home_);
    // The settings folder is left uncreated: a first start must make it.
    SetEnvironmentVariable("HOME", home_);
    SetEnvironmentVariable("XDG_CONFIG_HOME", home_ + "/.config");
    SetEnvironmentVariable("XDG_DATA_HOME", home_ + "/.local/share");
    SetEnvironmentVariable("XDG_CACHE_HOME", home_ + "/.cache");
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
  }

  const std::string& Home() const { return home_; }
  std::string Path(const std::string& relative) const { return home_ + "/" + relative; }
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
  std::string home_;
};
