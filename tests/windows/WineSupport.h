// Helpers for the Windows tests, which run under Wine in a temporary prefix
// (tools/wine-test.sh) or on a real Windows machine.
#pragma once

#include <gtest/gtest.h>
#include "platform/win32/WindowsHeaders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace wintest {

// Build-tree paths reach the tests as Unix paths ("/work/build/...") under Wine; drive Z:
// of every Wine prefix is the Unix root. Windows paths pass unchanged.
inline std::string HostPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

// True when the per-user folders belong to a throw-away profile (wine-test.sh sets
// TESVAR_TEMPORARY_PROFILE=1): only then may a test delete the real settings folder.
inline bool TemporaryProfile() {
  const char* flag = std::getenv("TESVAR_TEMPORARY_PROFILE");
  return flag != nullptr && std::string(flag) == "1";
}

inline std::string ShellFolder(int csidl) {
  char buffer[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
  return buffer;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// The file's text with CR LF line ends made LF, to compare with the POSIX layer's files.
inline std::string WithLf(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char base[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, base), 0u);
    char name[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempFileNameA(base, "tsv", 0, name), 0u);
    // GetTempFileName made a file of that unique name; a folder takes its place.
    DeleteFileA(name);
    ASSERT_TRUE(CreateDirectoryA(name, nullptr));
    folder_ = name;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string Path(const std::string& relative) const { return folder_ + "\\" + relative; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
};

}  // namespace wintest
