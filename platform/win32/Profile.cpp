// Private-profile (INI) files through the Win32 private-profile functions themselves, so
// that the plug-in reads and writes exactly what other Windows programs see.
//
// Two guards sit in front of the system calls, matching the POSIX layer: an empty path is
// refused (the system would take it as WIN.INI in the Windows folder), and so is a line
// break in a section, key, value or line (the system would write it as it stands and a
// value could then inject keys or sections of its own).
#include "platform/Platform.h"

#include "platform/win32/WindowsHeaders.h"

#include <cstring>

namespace platform {
namespace {

bool HasLineBreak(const char* text) { return text != nullptr && std::strpbrk(text, "\r\n") != nullptr; }

}  // namespace

std::string ReadProfileString(const std::string& path, const char* section, const char* key, const char* fallback,
                              std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  if (path.empty() || section == nullptr || key == nullptr) {
    // What the system answers for a missing file: the fallback without trailing blanks.
    std::string answer = fallback != nullptr ? fallback : "";
    answer.erase(answer.find_last_not_of(' ') + 1);
    if (answer.size() > bufferSize - 1) answer.resize(bufferSize - 1);
    return answer;
  }
  // The system writes at most bufferSize - 1 characters and a terminator.
  std::string buffer(bufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section, key, fallback != nullptr ? fallback : "", buffer.data(),
                                                static_cast<DWORD>(bufferSize), path.c_str());
  buffer.resize(length < bufferSize ? length : bufferSize - 1);
  return buffer;
}

bool WriteProfileString(const std::string& path, const char* section, const char* key, const char* value) {
  if (path.empty() || section == nullptr) return false;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  return WritePrivateProfileStringA(section, key, value, path.c_str()) != 0;
}

bool WriteProfileSection(const std::string& path, const char* section, const std::vector<std::string>& lines) {
  if (path.empty() || section == nullptr || HasLineBreak(section)) return false;
  // The body is a list of "key=value" texts, each ending in a terminator, and one more
  // terminator after the last (two for an empty list).
  std::string body;
  for (const std::string& line : lines) {
    if (HasLineBreak(line.c_str())) return false;
    body.append(line.c_str());
    body.push_back('\0');
  }
  body.push_back('\0');
  if (lines.empty()) body.push_back('\0');
  return WritePrivateProfileSectionA(section, body.c_str(), path.c_str()) != 0;
}

}  // namespace platform
