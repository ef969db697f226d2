// Folders and files for POSIX systems: the XDG per-user folders, status queries, folder
// creation and wildcard listing of a folder.
#include "platform/Platform.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// $HOME, else the password database's home folder, else "".
std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return std::string();
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// XDG_DOCUMENTS_DIR from the user-dirs file: a line XDG_DOCUMENTS_DIR="$HOME/Documents"
// or an absolute path in quotes. "$HOME/" alone means the folder is switched off.
std::string UserDirsDocuments(const std::string& configFolder, const std::string& home) {
  std::FILE* file = std::fopen((configFolder + "/user-dirs.dirs").c_str(), "r");
  if (file == nullptr) return std::string();
  std::string result;
  char line[4096];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    const char* text = line;
    while (*text == ' ' || *text == '\t') ++text;
    static const char kKey[] = "XDG_DOCUMENTS_DIR=\"";
    if (std::strncmp(text, kKey, sizeof kKey - 1) != 0) continue;
    std::string value(text + sizeof kKey - 1);
    const std::size_t close = value.find('"');
    if (close == std::string::npos) continue;
    value.resize(close);
    if (value.compare(0, 5, "$HOME") == 0) {
      value = home + value.substr(5);
      if (value == home || value == home + "/") value.clear();
    } else if (value.empty() || value[0] != '/') {
      value.clear();
    }
    result = value;
  }
  std::fclose(file);
  return result;
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// '*' matches any run of characters, '?' any one character.
bool WildcardMatch(const char* pattern, const char* name, bool ignoreCase) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' ||
               (*pattern != '\0' && (ignoreCase ? Lower(*pattern) == Lower(*name) : *pattern == *name))) {
      ++pattern;
      ++name;
    } else if (star != nullptr) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

// The stem compares with case, the extension (after the last '.') without, so "*.fxp"
// finds banks saved as "PAD.FXP" by Windows tools.
bool NameMatches(const std::string& pattern, const std::string& name) {
  if (pattern == "*" || pattern == "*.*") return true;
  const std::size_t patternDot = pattern.rfind('.');
  const std::size_t nameDot = name.rfind('.');
  if (patternDot == std::string::npos || nameDot == std::string::npos) {
    return WildcardMatch(pattern.c_str(), name.c_str(), false);
  }
  return WildcardMatch(pattern.substr(0, patternDot).c_str(), name.substr(0, nameDot).c_str(), false) &&
         WildcardMatch(pattern.c_str() + patternDot + 1, name.c_str() + nameDot + 1, true);
}

}  // namespace

std::string LocalAppDataFolder() {
  // The XDG rules ignore a relative XDG_CONFIG_HOME.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.config";
}

std::string DocumentsFolder() {
  const std::string home = HomeFolder();
  const std::string configFolder = LocalAppDataFolder();
  if (!configFolder.empty()) {
    const std::string documents = UserDirsDocuments(configFolder, home);
    if (!documents.empty()) return documents;
  }
  if (home.empty()) return std::string();
  const std::string documents = home + "/Documents";
  return IsFolder(documents) ? documents : home;
}

char PathSeparator() { return '/'; }

bool PathExists(const std::string& path) {
  struct stat status {};
  return !path.empty() && stat(path.c_str(), &status) == 0;
}

bool CreateFolder(const std::string& path) { return !path.empty() && mkdir(path.c_str(), 0755) == 0; }

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
  if (directory == nullptr) return names;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (!NameMatches(pattern, name)) continue;
    struct stat status {};
    const std::string full = folder.empty() ? name : folder + "/" + name;
    if (stat(full.c_str(), &status) == 0 && S_ISREG(status.st_mode)) names.push_back(name);
  }
  closedir(directory);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace platform
