// The panel's browser commands: the three sources, picking a bank or a program, scrolling.
#include <string>

#include "editor/Panel.h"
#include "engine/Tesvar.h"

namespace panel {

void Panel::RunFile() {
  std::string folder = plug_.Settings().programFilesPath;
  if (WindowOpen()) {
    if (!view_->PromptFolder(folder)) return;
    // Remembered for this session's dialogs, not written to the configuration file.
    plug_.SetProgramFilesPath(folder);
  }
  // The programs of the previous source are not this folder's: nothing is picked yet.
  ShowFileList(Browser::ListBankFolder(folder), BrowserSource::kFile);
}

void Panel::ShowFileList(std::vector<FileEntry> files, BrowserSource source) {
  browser_.SetFiles(std::move(files));
  browser_.SetPrograms({});
  browser_.SetScrollStart(ListKind::kFiles, 0);
  browser_.SetScrollStart(ListKind::kPrograms, 0);
  browser_.SetSelected(ListKind::kFiles, -1);
  browser_.SetSelected(ListKind::kPrograms, -1);
  browser_.SetSource(source);
  RefreshBrowser();
}

void Panel::ListOwnPrograms() {
  std::vector<ListedProgram> programs;
  int current = 0;
  {
    platform::Guard guard(plug_.Lock());
    for (int i = 0; i < plug_.ProgramCount(); ++i) {
      const ProgramSlot* slot = plug_.GetProgram(i);
      // Each entry keeps its slot: a bank with unused slots must not shift the numbers.
      if (slot->initialised) programs.push_back({i, slot->name, slot->state});
      if (i == plug_.CurrentProgram()) current = static_cast<int>(programs.size()) - 1;
    }
  }
  current = std::max(current, 0);
  browser_.SetPrograms(std::move(programs));
  browser_.SetSelected(ListKind::kPrograms, current);
  browser_.SetScrollStart(ListKind::kPrograms, Browser::kProgramRows * (current / Browser::kProgramRows));
  browser_.SetSelected(ListKind::kFiles, -1);
  browser_.SetSource(BrowserSource::kCurrentBank);
  RefreshBrowser();
}

void Panel::ListFactoryBanks() { ShowFileList(Browser::FactoryBankEntries(), BrowserSource::kFactory); }

void Panel::PickBank(int row) {
  if (browser_.Files().empty() || !WindowOpen()) return;
  browser_.SetScrollStart(ListKind::kPrograms, 0);
  const int index = browser_.ScrollStart(ListKind::kFiles) + row;
  if (row >= 0 && row < Browser::kFileRows && index < browser_.ListLength(ListKind::kFiles)) {
    const FileEntry entry = browser_.Files()[index];
    browser_.SetSelected(ListKind::kFiles, index);
    browser_.ReadPrograms(entry, Tesvar::StateFormat());
    browser_.SetSelected(ListKind::kPrograms, -1);
    browser_.SetSource(entry.isFile ? BrowserSource::kFile : BrowserSource::kFactory);
  }
  RefreshBrowser();
  plug_.RequestEditorRefresh();
  Refresh();
}

void Panel::PickProgram(int row) {
  if (!WindowOpen()) return;
  const int index = browser_.ScrollStart(ListKind::kPrograms) + row;
  if (row < 0 || row >= Browser::kProgramRows || index >= browser_.ListLength(ListKind::kPrograms)) {
    browser_.SetSelected(ListKind::kPrograms, -1);
    browser_.SetScrollStart(ListKind::kPrograms, 0);
    RefreshBrowser();
    return;
  }
  browser_.SetSelected(ListKind::kPrograms, index);
  const ListedProgram& listed = browser_.Programs()[index];
  if (browser_.Source() != BrowserSource::kCurrentBank) {
    LoadIntoCurrent(listed.state, listed.name);
  } else if (browser_.Mode() == ClickMode::kCopyPaste) {
    platform::Guard guard(plug_.Lock());
    // The store's program as it is now, copied before the current slot is rewritten.
    const ProgramSlot* slot = plug_.GetProgram(listed.number);
    if (slot != nullptr) LoadIntoCurrent(ChunkBuffer(slot->state), std::string(slot->name));
  } else {
    plug_.SwitchProgram(listed.number);
  }
  RefreshBrowser();
  plug_.RequestEditorRefresh();
  Refresh();
}

void Panel::LoadIntoCurrent(const ChunkBuffer& state, const std::string& name) {
  platform::Guard guard(plug_.Lock());
  // A body the product refuses changes nothing (the state from before is read back).
  if (plug_.ReadWholeState(state, 0) < 0) return;
  plug_.ModifyCurrentPreset(name.c_str());
  plug_.ProgramSwitched();
  plug_.RefreshControls();
  plug_.ReportProgramChange();
}

void Panel::ScrollBrowser(ListKind kind, bool forward) {
  if (!WindowOpen()) return;
  if (browser_.Scroll(kind, forward)) RefreshBrowser();
}

}  // namespace panel
