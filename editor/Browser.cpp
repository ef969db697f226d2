// The program browser's lists, rows and scrolling.
#include "editor/Browser.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/FactoryBanks.h"
#include "core/ProgramList.h"
#include "platform/Platform.h"

namespace panel {
namespace {

bool IsBankFileName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = name.substr(dot);
  return extension == ".fxb" || extension == ".FXB" || extension == ".fxp" || extension == ".FXP";
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const auto lower = [](unsigned char c) { return std::tolower(c); };
  const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                 [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
  const bool greater = std::lexicographical_compare(
      b.begin(), b.end(), a.begin(), a.end(), [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
  // Names equal but for case keep one order on every system.
  return less || (!greater && a < b);
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::vector<FileEntry> Browser::ListBankFolder(const std::string& folder) {
  std::vector<FileEntry> entries;
  if (folder.empty()) return entries;
  std::vector<std::string> names = platform::ListFiles(folder, "*");
  names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return !IsBankFileName(n); }),
              names.end());
  std::sort(names.begin(), names.end(), LessIgnoringCase);
  const std::string prefix = IsSeparator(folder.back()) ? folder : folder + platform::PathSeparator();
  for (const std::string& name : names) {
    FileEntry entry;
    entry.fileName = prefix + name;
    entry.displayName = DisplayName(name);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<FileEntry> Browser::FactoryBankEntries() {
  std::vector<FileEntry> entries;
  for (int bank = 0; bank < kFactoryBankCount; ++bank) {
    FileEntry entry;
    entry.fileName = FactoryBankFileName(bank);
    entry.displayName = FactoryBankTitle(bank);
    entry.isFile = false;
    entry.bank = bank;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string Browser::DisplayName(const std::string& path) {
  const auto separator = std::find_if(path.rbegin(), path.rend(), IsSeparator);
  std::string name(separator.base(), path.end());
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

bool Browser::ReadPrograms(const FileEntry& entry, const BodyFormat& format) {
  std::vector<BrowsedProgram> read;
  if (entry.isFile) {
    ListFilePrograms(entry.fileName, format, read);
  } else {
    ListEmbeddedBankPrograms(entry.bank, format, read);
  }
  programs_.clear();
  for (std::size_t i = 0; i < read.size(); ++i) {
    programs_.push_back({static_cast<int>(i), std::move(read[i].name), std::move(read[i].state)});
  }
  return !programs_.empty();
}

int Browser::ListLength(ListKind kind) const {
  return static_cast<int>(kind == ListKind::kFiles ? files_.size() : programs_.size());
}

void Browser::SetScrollStart(ListKind kind, int start) {
  (kind == ListKind::kFiles ? fileStart_ : programStart_) = std::max(start, 0);
}

void Browser::SetSelected(ListKind kind, int index) {
  (kind == ListKind::kFiles ? selectedFile_ : selectedProgram_) = index < 0 ? -1 : index;
}

int Browser::SelectedRow(ListKind kind) const {
  const int selected = Selected(kind);
  if (selected < 0) return -1;
  const int row = selected - ScrollStart(kind);
  return row >= 0 && row < PageSize(kind) ? row : -1;
}

RowText Browser::Row(ListKind kind, int row) const {
  RowText text;
  const int index = ScrollStart(kind) + row;
  if (row < 0 || row >= PageSize(kind) || index >= ListLength(kind)) return text;
  char number[16];
  if (kind == ListKind::kFiles) {
    std::snprintf(number, sizeof(number), "%i", index);
    text.name = files_[index].displayName;
  } else {
    const unsigned n = static_cast<unsigned>(std::max(programs_[index].number, 0));
    std::snprintf(number, sizeof(number), "%1u%1u", n / 8 + 1, n % 8 + 1);
    text.name = programs_[index].name;
  }
  text.hasEntry = true;
  text.index = index;
  text.number.assign(number, std::min<std::size_t>(2, std::char_traits<char>::length(number)));
  return text;
}

bool Browser::Scroll(ListKind kind, bool forward) {
  const int page = PageSize(kind);
  const int length = ListLength(kind);
  if (length <= page) return false;
  int start = ScrollStart(kind) + (forward ? page : -page);
  if (start >= length) start -= page;
  SetScrollStart(kind, start);
  return true;
}

ScrollThumb Browser::Thumb(ListKind kind, int barHeight) const {
  ScrollThumb thumb;
  const int length = ListLength(kind);
  const int track = barHeight - 2 * kArrowHeight;
  // An empty list has no thumb (and nothing to divide by).
  if (length <= 0 || track <= 0) return thumb;
  const int offset = std::min(ScrollStart(kind) * track / length, track);
  thumb.top = kArrowHeight + offset;
  thumb.height = std::min(PageSize(kind) * track / length, track - offset);
  thumb.visible = thumb.height > 0;
  return thumb;
}

}  // namespace panel
