// The program browser's model: a list of banks (files of a folder, or the three factory
// banks), a list of programs (of the picked bank, or of the plug-in's own store), what each
// shows from where, and the selections. Plain state on the user-interface thread; it reads
// files and embedded banks but never touches the plug-in's programs (editor/Panel.h does).
#pragma once

#include <string>
#include <vector>

#include "core/ChunkBuffer.h"
#include "core/StateBody.h"

namespace panel {

enum class ListKind { kFiles, kPrograms };
// Numbered as the hardware's panel numbers them.
enum class BrowserSource { kCurrentBank = 0, kFactory = 1, kFile = 2 };
enum class ClickMode { kSelect, kCopyPaste };

struct FileEntry {
  std::string fileName;     // the full path of a file; the offered file name of a factory bank
  std::string displayName;  // the file name without folder and extension, or the bank's title
  bool isFile = true;
  int bank = 0;  // factory bank 0 ... 2 when not a file
};

struct ListedProgram {
  int number = 0;  // shown as 11 ... 88: the store's slot for the own bank, else the list place
  std::string name;
  ChunkBuffer state;  // one state body
};

// What one row shows.
struct RowText {
  bool hasEntry = false;
  int index = -1;      // entry index in its list, -1 for an empty row
  std::string number;  // at most two characters
  std::string name;
};

// A scroll bar's thumb in pixels from the bar's top; not visible over an empty list.
struct ScrollThumb {
  bool visible = false;
  int top = 0;
  int height = 0;
};

class Browser {
 public:
  static constexpr int kFileRows = 10;
  static constexpr int kProgramRows = 39;
  static constexpr int kArrowHeight = 17;  // the top and bottom arrow areas of a scroll bar

  static int PageSize(ListKind kind) { return kind == ListKind::kFiles ? kFileRows : kProgramRows; }

  // The program and bank files of folder (extensions exactly .fxb, .FXB, .fxp, .FXP), sorted
  // by name without regard to case: a directory's own order differs between systems.
  static std::vector<FileEntry> ListBankFolder(const std::string& folder);
  // "Poly-61 Factory Sounds", "Quellmark's Factory Sounds", "Veltrum's Factory Sounds".
  static std::vector<FileEntry> FactoryBankEntries();
  // The file name of path without its folder and extension.
  static std::string DisplayName(const std::string& path);

  // ---- Lists and where they came from -------------------------------------------------------
  BrowserSource Source() const { return source_; }
  void SetSource(BrowserSource source) { source_ = source; }
  ClickMode Mode() const { return clickMode_; }
  void SetMode(ClickMode mode) { clickMode_ = mode; }
  const std::vector<FileEntry>& Files() const { return files_; }
  const std::vector<ListedProgram>& Programs() const { return programs_; }
  void SetFiles(std::vector<FileEntry> files) { files_ = std::move(files); }
  void SetPrograms(std::vector<ListedProgram> programs) { programs_ = std::move(programs); }
  // Reads the programs of a file or factory entry into the program list (emptied first);
  // answers whether any were listed. format names the state bodies the plug-in reads.
  bool ReadPrograms(const FileEntry& entry, const BodyFormat& format);

  // ---- What the rows show ---------------------------------------------------------------------
  int ListLength(ListKind kind) const;
  int ScrollStart(ListKind kind) const { return kind == ListKind::kFiles ? fileStart_ : programStart_; }
  void SetScrollStart(ListKind kind, int start);
  int Selected(ListKind kind) const { return kind == ListKind::kFiles ? selectedFile_ : selectedProgram_; }
  void SetSelected(ListKind kind, int index);
  // The selected entry's row on the shown page, or -1 when none is selected or it lies
  // off the page.
  int SelectedRow(ListKind kind) const;
  // Row r of the shown page: the entry at scroll start + r, or an empty row past the end.
  RowText Row(ListKind kind, int row) const;

  // A scroll-bar click: one page back or forward. Forward past the end steps back again; the
  // start never falls below 0. Lists no longer than a page never scroll: answers false.
  bool Scroll(ListKind kind, bool forward);
  // The thumb of a bar barHeight pixels high (arrow areas included).
  ScrollThumb Thumb(ListKind kind, int barHeight) const;

 private:
  BrowserSource source_ = BrowserSource::kCurrentBank;
  ClickMode clickMode_ = ClickMode::kSelect;
  std::vector<FileEntry> files_;
  std::vector<ListedProgram> programs_;
  int fileStart_ = 0;
  int programStart_ = 0;
  int selectedFile_ = -1;
  int selectedProgram_ = -1;
};

}  // namespace panel
