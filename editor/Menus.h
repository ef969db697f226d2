// The editor's two pop-up menus as menu models: the utility menu with its four submenus and
// the program menu of 8 x 8 programs, each built afresh from the state it shows, and the
// mapping of a pick back to a command number or a program index.
#pragma once

#include <string>
#include <vector>

#include "editor/framework/IPopupMenu.h"

namespace menus {

// Utility command numbers: a top-level item's position, then the submenus' items counted on
// (separators and submenu items take numbers too).
enum Command : int {
  kCopyProgram = 0,
  kPasteProgram = 1,
  kInitProgram = 2,
  kLoadProgramMenu = 4,
  kSaveProgram = 5,
  kLoadBankMenu = 6,
  kSaveBank = 7,
  kLoadTapeDump = 8,
  kSelectStartupBank = 10,
  kLoadStartupBank = 11,
  kUnselectStartupBank = 12,
  kDefaultProgramFolder = 14,
  kMidiSettingsMenu = 15,
  kReloadConfiguration = 16,
  kSaveConfiguration = 17,
  kShowAllParameters = 19,
  kOpenAltViewOnStartup = 20,
  kZoomMenu = 21,
  kGoOnlineMenu = 23,
  kMidiThru = 23,
  kIgnoreProgramChange = 24,
  kCheckForUpdate = 25,
  kVisitHomePage = 26,
  kLoadProgram = 27,
  kRestoreFactoryProgram = 29,  // 29, 30, 31: factory banks 0, 1, 2
  kLoadBank = 32,
  kRestoreFactoryBank = 34,  // 34, 35, 36
  kZoomAuto = 37,            // then 38 ... 42: the scales 100 % ... 200 %
  kZoomLast = 42,
  kNoCommand = -1,
};

// What the utility menu shows: the disabled items and the check marks.
struct UtilityMenuState {
  bool canPaste = false;        // the copy buffer holds a program
  bool hasStartupBank = false;  // a startup bank is set
  bool showParameters = false;
  bool openAltView = false;
  bool midiThru = false;
  bool ignoreProgramChange = false;
  int zoom = 0;  // the "Zoom" setting: 0 Auto, else the percent that is checked
};

class UtilityMenu {
 public:
  // The submenus' first command numbers: A "Load Program...", B "Load Bank...", C "Global
  // MIDI Settings...", D "Go Online...", E "Zoom" (Auto, then one item per scale).
  static constexpr int kOffsetA = 27;
  static constexpr int kOffsetB = 32;
  static constexpr int kOffsetC = 23;
  static constexpr int kOffsetD = 25;
  static constexpr int kOffsetE = 37;

  // webHost is shown in D's last item, "Visit " + webHost.
  UtilityMenu(const UtilityMenuState& state, const std::string& webHost);
  IPopupMenu& Menu() { return top_; }
  // The command of a pick: the submenu that holds the picked item adds its offset to the
  // item's index; for any other menu the index is the command. kNoCommand when nothing was
  // picked.
  int CommandFor(const IPopupMenu* chosen) const;

 private:
  IPopupMenu top_;
  IPopupMenu* a_ = nullptr;
  IPopupMenu* b_ = nullptr;
  IPopupMenu* c_ = nullptr;
  IPopupMenu* d_ = nullptr;
  IPopupMenu* e_ = nullptr;
};

// The scale of a Zoom command (0 for Auto), or -1 for other commands.
int ZoomOfCommand(int command);

class ProgramMenu {
 public:
  // names: the programs' names by index (an index past its end gets an empty name);
  // current: the program whose item is checked.
  ProgramMenu(const std::vector<std::string>& names, int current);
  IPopupMenu& Menu() { return top_; }
  // The program index of a pick: bank from the submenu that holds it (bank 1 when it is
  // none of banks 2 to 8), then the item's index. -1 when nothing was picked.
  int ProgramFor(const IPopupMenu* chosen) const;

  static constexpr int kBanks = 8;
  static constexpr int kProgramsPerBank = 8;

 private:
  IPopupMenu top_;
  IPopupMenu* banks_[kBanks] = {};
};

}  // namespace menus
