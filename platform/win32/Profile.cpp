// Private-profile (INI) files through the Win32 private-profile functions themselves, so
// that the plug-in reads and writes exactly what other Windows programs see.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

std::string ReadProfileString(const std::string& path, const char* section, const char* key,
                              const char* fallback, std::size_t bufferSize) {
  if (bufferSize == 0 || section == nullptr || key == nullptr) return {};
  // The system writes at most bufferSize - 1 characters and a terminator.
  std::string buffer(bufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section, key, fallback != nullptr ? fallback : "",
                                                buffer.data(), static_cast<DWORD>(bufferSize),
                                                path.c_str());
  buffer.resize(length < bufferSize ? length : bufferSize - 1);
  return buffer;
}

bool WriteProfileString(const std::string& path, const char* section, const char* key,
                        const char* value) {
  if (section == nullptr) return false;
  return WritePrivateProfileStringA(section, key, value, path.c_str()) != 0;
}

bool WriteProfileSection(const std::string& path, const char* section,
                         const std::vector<std::string>& lines) {
  if (section == nullptr) return false;
  // The body is a list of "key=value" texts, each ending in a terminator, and one more
  // terminator after the last (two for an empty list).
  std::string body;
  for (const std::string& line : lines) {
    body.append(line.c_str());
    body.push_back('\0');
  }
  body.push_back('\0');
  if (lines.empty()) body.push_back('\0');
  return WritePrivateProfileSectionA(section, body.c_str(), path.c_str()) != 0;
}

}  // namespace platform
