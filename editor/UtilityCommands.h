// The utility menu's command handler: every command number's action with its confirmation,
// file dialog and error message, and the two folder memories that every instance in the
// process shares. Runs on the host's user-interface thread inside the editor's mouse
// handling (the editor lock held); the operations it calls take the plug-in lock.
#pragma once

#include <string>

class IControl;
class IGraphics;
class Tesvar;

namespace menus {

// The start folder of the program and bank dialogs. Set from the configuration's "Path to
// Program Files" the first time any instance runs a utility command; then the folder of
// every file chosen in those dialogs. Written to the configuration by command 14 only.
std::string LastProgramFolder();
// The start folder of "Select Startup Bank": the documents folder at first use, then the
// folder of the bank chosen there.
std::string LastStartupBankFolder();
// Forgets both, as at the process's start (tests).
void ForgetFolderMemories();

// The folder of a path: the text before its last separator ('/' and, on Windows, '\').
std::string FolderOf(const std::string& path);
// The Save Program dialog's proposed name: the program name's first 63 bytes (cut on a
// character boundary), each of < > : " / \ | ? * replaced by an underscore.
std::string ProposedFileName(const std::string& programName);
// `format` with its one "%s" filled by `path`, in at most 1023 bytes (cut on a character
// boundary).
std::string FormatWithPath(const char* format, const std::string& path);
// The user's "Zoom" as the editor takes it: editor_scale::kAuto or a percent (100 when the
// setting cannot be read).
int ZoomSetting(const Tesvar& plug);

class UtilityCommands {
 public:
  // tapeDialog: the tape load dialog control, shown by command 8 (may be null).
  // zoomRefusalShown: the editor's memory that it told the user once that the host would not
  // take a new size (null: tell every time).
  UtilityCommands(Tesvar& plug, IGraphics& graphics, IControl* tapeDialog, bool* zoomRefusalShown = nullptr)
      : plug_(plug), graphics_(graphics), tapeDialog_(tapeDialog), zoomRefusalShown_(zoomRefusalShown) {}

  // Runs one command number (see menus::Command); unknown numbers and the submenu items do
  // nothing. The caller redraws the editor afterwards.
  void Run(int command);

 private:
  // A Yes/No box. When onlyOnYes, only Yes goes on; otherwise anything but No does (also a
  // box that could not be shown).
  bool Confirm(const std::string& text, const char* caption, bool onlyOnYes = false);
  void ShowError(const char* text);
  // A file dialog starting in `folder`; the chosen full path, or "" when cancelled.
  std::string ChooseFile(bool save, const char* extensions, const std::string& name, const std::string& folder);
  void SaveFile(bool bank);
  void LoadFile(bool bank);
  void SelectStartupBank();
  void LoadStartupBank();
  void UnselectStartupBank();
  void ChooseProgramFolder();
  void ReloadConfiguration();
  void CheckForUpdate();
  // Zoom: keeps the choice in the settings file and gives it to the editor.
  void Zoom(int zoom);

  Tesvar& plug_;
  IGraphics& graphics_;
  IControl* tapeDialog_;
  bool* zoomRefusalShown_;
};

}  // namespace menus
