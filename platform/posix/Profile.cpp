// Private-profile (INI) files for POSIX systems: our own reader and writer with the
// behaviour of the Windows private-profile functions that the configuration relies on.
//
// The file is kept as a list of raw lines with their own line endings; a write changes
// only the lines it must and puts every other byte back as it was.
#include "platform/Platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

// Serialises every read-modify-write of profile files within the process, as Windows does.
std::mutex profileMutex;

// Files beyond this size are not settings files; they are refused rather than loaded.
constexpr long kMaxProfileBytes = 16L * 1024 * 1024;

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

struct Line {
  std::string text;  // without the line ending
  std::string eol;   // "\r\n", "\n" or "" for a last line without one
};

struct ParsedLine {
  LineKind kind = LineKind::kBlank;
  std::string name;   // section or key name, trimmed
  std::string value;  // key value, trimmed
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trim(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const char* b) {
  const std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    const unsigned char y = static_cast<unsigned char>(b[i]);
    if (x != y && !(x < 128 && y < 128 && std::tolower(x) == std::tolower(y))) return false;
  }
  return true;
}

ParsedLine Parse(const Line& line) {
  ParsedLine parsed;
  const std::string text = Trim(line.text);
  if (text.empty()) return parsed;
  if (text[0] == '[') {
    // An unclosed header names the rest of the line.
    const std::size_t close = text.find(']');
    parsed.kind = LineKind::kSection;
    parsed.name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  } else if (text[0] == ';') {
    parsed.kind = LineKind::kComment;
  } else {
    // A line without '=' is kept but never answers a key lookup.
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
      parsed.kind = LineKind::kOther;
      return parsed;
    }
    parsed.kind = LineKind::kKey;
    parsed.name = Trim(text.substr(0, equals));
    parsed.value = Trim(text.substr(equals + 1));
  }
  return parsed;
}

// Reads the whole file as lines; false when it is missing or unreadable.
bool Load(const std::string& path, std::vector<Line>& lines) {
  lines.clear();
  if (path.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::string bytes;
  char chunk[4096];
  bool good = true;
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
    bytes.append(chunk, got);
    if (static_cast<long>(bytes.size()) > kMaxProfileBytes) {
      good = false;
      break;
    }
    if (got < sizeof chunk) {
      good = !std::ferror(file);
      break;
    }
  }
  std::fclose(file);
  if (!good) return false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t newline = bytes.find('\n', start);
    Line line;
    if (newline == std::string::npos) {
      line.text = bytes.substr(start);
      start = bytes.size();
    } else {
      const bool crlf = newline > start && bytes[newline - 1] == '\r';
      line.text = bytes.substr(start, newline - start - (crlf ? 1 : 0));
      line.eol = crlf ? "\r\n" : "\n";
      start = newline + 1;
    }
    lines.push_back(std::move(line));
  }
  // A UTF-8 byte-order mark stays in the file but is not part of the first name.
  return true;
}

std::string Unmarked(const Line& line, std::size_t index) {
  if (index == 0 && line.text.compare(0, 3, "\xEF\xBB\xBF") == 0) return line.text.substr(3);
  return line.text;
}

ParsedLine ParseAt(const std::vector<Line>& lines, std::size_t index) {
  Line copy{Unmarked(lines[index], index), lines[index].eol};
  return Parse(copy);
}

// Writes through a temporary file and a rename, so a failed write leaves the old file.
// A symbolic link is followed and the file keeps its permissions.
bool Store(const std::string& path, const std::vector<Line>& lines) {
  std::string target = path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) target = resolved;
  struct stat status {};
  const bool existed = stat(target.c_str(), &status) == 0;
  const std::string temporary = target + ".tmp" + std::to_string(static_cast<long>(getpid()));
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  bool good = true;
  for (const Line& line : lines) {
    if (std::fwrite(line.text.data(), 1, line.text.size(), file) != line.text.size() ||
        std::fwrite(line.eol.data(), 1, line.eol.size(), file) != line.eol.size()) {
      good = false;
      break;
    }
  }
  good = (std::fclose(file) == 0) && good;
  if (good && existed) chmod(temporary.c_str(), status.st_mode & 07777);
  if (good && std::rename(temporary.c_str(), target.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

// The line ending of the file's first ended line; new files get the system's own.
std::string LineEnding(const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (!line.eol.empty()) return line.eol;
  }
  return "\n";
}

// Index of the header of the first section named `section`, or lines.size().
std::size_t FindSection(const std::vector<Line>& lines, const char* section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = ParseAt(lines, i);
    if (parsed.kind == LineKind::kSection && SameName(parsed.name, section)) return i;
  }
  return lines.size();
}

// One past the last line of the section whose header is at `header`.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
  std::size_t i = header + 1;
  while (i < lines.size() && ParseAt(lines, i).kind != LineKind::kSection) ++i;
  return i;
}

// One past the section's last non-blank line: where new keys go, so that blank lines
// separating it from the next section stay below them.
std::size_t SectionContentEnd(const std::vector<Line>& lines, std::size_t header) {
  std::size_t end = SectionEnd(lines, header);
  while (end > header + 1 && ParseAt(lines, end - 1).kind == LineKind::kBlank) --end;
  return end;
}

// Inserts lines at `at`, giving an unended line before them the file's ending.
void InsertLines(std::vector<Line>& lines, std::size_t at, std::vector<Line> added) {
  if (at > 0 && lines[at - 1].eol.empty()) lines[at - 1].eol = LineEnding(lines);
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
}

bool HasLineBreak(const char* text) { return text != nullptr && std::strpbrk(text, "\r\n") != nullptr; }

// Strips one pair of matching quotes, as GetPrivateProfileString does.
std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string ReadProfileString(const std::string& path, const char* section, const char* key, const char* fallback,
                              std::size_t bufferSize) {
  // Windows drops trailing blanks of the default text.
  std::string answer = fallback != nullptr ? fallback : "";
  while (!answer.empty() && IsBlank(answer.back())) answer.pop_back();
  if (section != nullptr && key != nullptr) {
    std::lock_guard<std::mutex> lock(profileMutex);
    std::vector<Line> lines;
    if (Load(path, lines)) {
      const std::size_t header = FindSection(lines, section);
      if (header < lines.size()) {
        const std::size_t end = SectionEnd(lines, header);
        for (std::size_t i = header + 1; i < end; ++i) {
          const ParsedLine parsed = ParseAt(lines, i);
          if (parsed.kind == LineKind::kKey && SameName(parsed.name, key)) {
            answer = Unquoted(parsed.value);
            break;
          }
        }
      }
    }
  }
  if (bufferSize == 0) return std::string();
  if (answer.size() > bufferSize - 1) answer.resize(bufferSize - 1);
  return answer;
}

bool WriteProfileString(const std::string& path, const char* section, const char* key, const char* value) {
  if (path.empty() || section == nullptr || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) {
    return false;
  }
  std::lock_guard<std::mutex> lock(profileMutex);
  std::vector<Line> lines;
  Load(path, lines);
  const std::string eol = LineEnding(lines);
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    // Deleting from a section that is not there leaves the file as it is.
    if (key == nullptr || value == nullptr) return true;
    InsertLines(lines, lines.size(),
                {Line{std::string("[") + section + "]", eol}, Line{std::string(key) + "=" + value, eol}});
    return Store(path, lines);
  }
  const std::size_t end = SectionEnd(lines, header);
  if (key == nullptr) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header), lines.begin() + static_cast<std::ptrdiff_t>(end));
    return Store(path, lines);
  }
  for (std::size_t i = header + 1; i < end; ++i) {
    const ParsedLine parsed = ParseAt(lines, i);
    if (parsed.kind != LineKind::kKey || !SameName(parsed.name, key)) continue;
    if (value == nullptr) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      // The key keeps its spelling in the file; only the value changes.
      lines[i].text = parsed.name + "=" + value;
    }
    return Store(path, lines);
  }
  if (value == nullptr) return true;
  InsertLines(lines, SectionContentEnd(lines, header), {Line{std::string(key) + "=" + value, eol}});
  return Store(path, lines);
}

bool WriteProfileSection(const std::string& path, const char* section, const std::vector<std::string>& body) {
  if (path.empty() || section == nullptr || HasLineBreak(section)) return false;
  for (const std::string& text : body) {
    if (HasLineBreak(text.c_str()) || text.size() != std::strlen(text.c_str())) return false;
  }
  std::lock_guard<std::mutex> lock(profileMutex);
  std::vector<Line> lines;
  Load(path, lines);
  const std::string eol = LineEnding(lines);
  std::vector<Line> added;
  for (const std::string& text : body) added.push_back(Line{text, eol});
  std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    InsertLines(lines, lines.size(), {Line{std::string("[") + section + "]", eol}});
    header = lines.size() - 1;
  }
  // The old body goes, except the blank lines that separate it from the next section.
  const std::size_t contentEnd = SectionContentEnd(lines, header);
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header + 1),
              lines.begin() + static_cast<std::ptrdiff_t>(contentEnd));
  if (!added.empty()) InsertLines(lines, header + 1, std::move(added));
  return Store(path, lines);
}

}  // namespace platform
