// Folders and file search through the shell and kernel functions (ANSI code page, like
// the C run time's fopen, so that every path the plug-in builds can be opened with stdio).
#include "platform/Platform.h"

#include "platform/win32/WindowsHeaders.h"

#include <algorithm>

namespace platform {
namespace {

// An empty text when the folder is unknown: callers then build paths from nothing,
// which later fail to open rather than land somewhere unexpected.
std::string ShellFolder(int csidl) {
  char buffer[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
  return buffer;
}

}  // namespace

std::string LocalAppDataFolder() { return ShellFolder(CSIDL_LOCAL_APPDATA); }
std::string DocumentsFolder() { return ShellFolder(CSIDL_PERSONAL); }

char PathSeparator() { return '\\'; }

bool PathExists(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CreateFolder(const std::string& path) { return !path.empty() && CreateDirectoryA(path.c_str(), nullptr) != 0; }

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  std::string query = folder;
  if (!query.empty() && query.back() != '\\' && query.back() != '/') query.push_back('\\');
  query += pattern;

  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(query.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found) != 0);
  FindClose(search);
  // The order of FindNextFile depends on the file system; callers get names sorted.
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace platform
