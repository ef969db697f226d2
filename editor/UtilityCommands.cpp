// The utility commands: confirmations, file dialogs, the operations and their messages.
#include "editor/UtilityCommands.h"

#include <cctype>
#include <cstdio>
#include <mutex>

#include "core/FactoryBanks.h"
#include "core/ProgramFiles.h"
#include "editor/Menus.h"
#include "editor/framework/EditorScale.h"
#include "editor/framework/IGraphics.h"
#include "engine/Tesvar.h"
#include "platform/Platform.h"
#include "shell/UpdateCheck.h"

namespace menus {
namespace {

constexpr std::size_t kMessageLimit = 1023;  // a 1024-byte buffer with its terminator
constexpr std::size_t kProposedNameLimit = 63;

struct FolderMemories {
  std::mutex lock;
  bool programSet = false;
  std::string program;
  bool startupSet = false;
  std::string startup;
};

FolderMemories& Memories() {
  static FolderMemories memories;
  return memories;
}

// The longest prefix of at most `limit` bytes that ends on a UTF-8 character boundary.
std::string CutOnCharacter(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

void RememberProgramFolder(const std::string& folder) {
  FolderMemories& m = Memories();
  std::lock_guard<std::mutex> guard(m.lock);
  m.program = folder;
}

bool IsSeparator(char c) { return c == '/' || (platform::PathSeparator() == '\\' && c == '\\'); }

// The editor's message box and web pages for the update check.
class EditorUpdateDialogs : public shell::UpdateDialogs {
 public:
  explicit EditorUpdateDialogs(IGraphics& graphics) : graphics_(graphics) {}
  Answer ShowMessage(const std::string& text, const char* caption, Box box) override {
    const IMessageButtons buttons = box == Box::kYesNo   ? IMessageButtons::kYesNo
                                    : box == Box::kError ? IMessageButtons::kOKError
                                                         : IMessageButtons::kOKInformation;
    switch (graphics_.ShowMessage(text.c_str(), caption, buttons)) {
      case kMessageOK: return Answer::kOK;
      case kMessageYes: return Answer::kYes;
      case kMessageNo: return Answer::kNo;
      default: return Answer::kNone;
    }
  }
  void OpenWebPage(const std::string& url) override { graphics_.OpenWebPage(url.c_str(), "", nullptr, nullptr); }

 private:
  IGraphics& graphics_;
};

shell::UpdateProduct ProductOf(const Tesvar& plug) {
  shell::UpdateProduct product;
  product.name = plug.EffectName();
  product.pathWord.clear();
  for (char c : product.name) product.pathWord += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::uint32_t word = plug.VersionWord();
  const unsigned major = word >> 16;
  const unsigned minor = (word >> 8) & 0xFF;
  const unsigned patch = word & 0xFF;
  product.versionText = std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
  product.versionNumber = static_cast<int>(major * 1000 + minor * 100 + patch);
  return product;
}

// Captions of the factory restores, by bank.
constexpr const char* kRestoreProgramCaptions[] = {"Restore Original Poly-61 Factory Program",
                                                   "Restore Quellmark's Factory Program",
                                                   "Restore Veltrum's Factory Program"};
constexpr const char* kRestoreBankCaptions[] = {"Restore Original Poly-61 Factory Sounds",
                                                "Restore Quellmark's Factory Sounds",
                                                "Restore Veltrum's Factory Sounds"};

}  // namespace

// ---- Folder memories and texts ----------------------------------------------------------------

std::string LastProgramFolder() {
  FolderMemories& m = Memories();
  std::lock_guard<std::mutex> guard(m.lock);
  return m.program;
}

std::string LastStartupBankFolder() {
  FolderMemories& m = Memories();
  std::lock_guard<std::mutex> guard(m.lock);
  return m.startup;
}

void ForgetFolderMemories() {
  FolderMemories& m = Memories();
  std::lock_guard<std::mutex> guard(m.lock);
  m.programSet = m.startupSet = false;
  m.program.clear();
  m.startup.clear();
}

std::string FolderOf(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) return path.substr(0, i - 1);
  }
  return std::string();
}

std::string ProposedFileName(const std::string& programName) {
  std::string name = CutOnCharacter(programName, kProposedNameLimit);
  for (char& c : name) {
    switch (c) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '/':
      case '\\':
      case '|':
      case '?':
      case '*': c = '_'; break;
      default: break;
    }
  }
  return name;
}

std::string FormatWithPath(const char* format, const std::string& path) {
  const int length = std::snprintf(nullptr, 0, format, path.c_str());
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, format, path.c_str());
  return CutOnCharacter(text, kMessageLimit);
}

// ---- The handler ----------------------------------------------------------------------------

bool UtilityCommands::Confirm(const std::string& text, const char* caption, bool onlyOnYes) {
  const int answer = graphics_.ShowMessage(text.c_str(), caption, IMessageButtons::kYesNo);
  return onlyOnYes ? answer == kMessageYes : answer != kMessageNo;
}

void UtilityCommands::ShowError(const char* text) { graphics_.ShowMessage(text, "Error", IMessageButtons::kOK); }

std::string UtilityCommands::ChooseFile(bool save, const char* extensions, const std::string& name,
                                        const std::string& folder) {
  std::string fileName = name;
  std::string start = folder;
  graphics_.PromptFile(fileName, save, start, extensions);
  return fileName;
}

void UtilityCommands::Run(int command) {
  {
    // The first command of the process fixes where the file dialogs start.
    FolderMemories& m = Memories();
    std::lock_guard<std::mutex> guard(m.lock);
    if (!m.programSet) {
      m.program = plug_.Settings().programFilesPath;
      m.programSet = true;
    }
  }
  switch (command) {
    case kCopyProgram: plug_.CopyProgram(); break;
    case kPasteProgram:
      if (Confirm("Do you really want to overwrite the current program?", "Paste Program")) plug_.PasteProgram();
      break;
    case kInitProgram:
      if (Confirm("Do you really want to initialize the current program?", "Initialize Program")) plug_.InitProgram();
      break;
    case kSaveProgram:
    case kSaveBank: SaveFile(command == kSaveBank); break;
    case kLoadTapeDump:
      if (graphics_.IsWindowOpen() && tapeDialog_ != nullptr) tapeDialog_->Hide(false);
      break;
    case kSelectStartupBank: SelectStartupBank(); break;
    case kLoadStartupBank: LoadStartupBank(); break;
    case kUnselectStartupBank: UnselectStartupBank(); break;
    case kDefaultProgramFolder: ChooseProgramFolder(); break;
    case kReloadConfiguration: ReloadConfiguration(); break;
    case kSaveConfiguration:
      if (Confirm(FormatWithPath("The INI configuration file is:\n%s\n\nDo you really want to overwrite it?",
                                 plug_.Settings().path),
                  "Save Configuration", true)) {
        plug_.WriteConfiguration(shell::ConfigurationScope::kAll);
      }
      break;
    case kShowAllParameters:
      plug_.SetShowParameters(!plug_.Settings().showParameters);
      plug_.WriteConfiguration(shell::ConfigurationScope::kShowParameters);
      graphics_.RedrawAll();
      break;
    case kOpenAltViewOnStartup:
      plug_.SetOpenAltView(!plug_.Settings().openAltView);
      plug_.WriteConfiguration(shell::ConfigurationScope::kOpenAltView);
      graphics_.RedrawAll();
      break;
    case kMidiThru:
      plug_.SetMidiThru(!plug_.Settings().midiThru);
      plug_.WriteConfiguration(shell::ConfigurationScope::kMidiThru);
      break;
    case kIgnoreProgramChange:
      plug_.SetIgnoreProgramChange(!plug_.Settings().ignoreProgramChange);
      plug_.WriteConfiguration(shell::ConfigurationScope::kIgnoreProgramChange);
      break;
    case kCheckForUpdate: CheckForUpdate(); break;
    case kVisitHomePage: graphics_.OpenWebPage(shell::kMakerWebAddress, "", nullptr, nullptr); break;
    case kLoadProgram:
    case kLoadBank: LoadFile(command == kLoadBank); break;
    case kRestoreFactoryProgram:
    case kRestoreFactoryProgram + 1:
    case kRestoreFactoryProgram + 2: {
      const int bank = command - kRestoreFactoryProgram;
      if (Confirm("Do you really want to overwrite the current program?", kRestoreProgramCaptions[bank])) {
        RestoreFactoryProgram(plug_, bank);
      }
      break;
    }
    case kRestoreFactoryBank:
    case kRestoreFactoryBank + 1:
    case kRestoreFactoryBank + 2: {
      const int bank = command - kRestoreFactoryBank;
      if (Confirm("Do you really want to overwrite all programs?", kRestoreBankCaptions[bank])) {
        RestoreFactoryBank(plug_, bank);
      }
      break;
    }
    default:
      if (const int zoom = ZoomOfCommand(command); zoom >= 0) Zoom(zoom);
      break;
  }
}

void UtilityCommands::Zoom(int zoom) {
  plug_.SetZoom(editor_scale::ZoomText(zoom));
  plug_.WriteConfiguration(shell::ConfigurationScope::kZoom);
  if (graphics_.SetUserZoom(zoom) != IGraphics::ScaleChange::kDeferred) return;
  if (zoomRefusalShown_ != nullptr) {
    if (*zoomRefusalShown_) return;
    *zoomRefusalShown_ = true;
  }
  graphics_.ShowMessage(
      "The host did not resize the plug-in's window.\n\nThe editor takes the new size the next "
      "time it opens.",
      "Zoom", IMessageButtons::kOKInformation);
}

int ZoomSetting(const Tesvar& plug) {
  const int zoom = editor_scale::ParseZoom(plug.Settings().zoom);
  return zoom < 0 ? editor_scale::kMinPercent : zoom;
}

void UtilityCommands::SaveFile(bool bank) {
  const std::string name = bank ? std::string("Tesvar") : ProposedFileName(plug_.ProgramName(plug_.CurrentProgram()));
  const std::string path = ChooseFile(true, bank ? "fxb" : "fxp", name, LastProgramFolder());
  if (path.empty()) return;
  {
    // The edits since the last program switch belong to the program that is saved.
    platform::Guard guard(plug_.Lock());
    plug_.ModifyCurrentPreset(nullptr);
  }
  const bool saved = bank ? SaveBankFile(plug_, path) : SaveProgramFile(plug_, path);
  RememberProgramFolder(FolderOf(path));
  if (!saved) ShowError("Cannot save file!");
}

void UtilityCommands::LoadFile(bool bank) {
  const std::string path = ChooseFile(false, bank ? "fxb" : "fxp", "", LastProgramFolder());
  if (path.empty()) return;
  const bool loaded = bank ? LoadBankFile(plug_, path) : LoadProgramFile(plug_, path);
  RememberProgramFolder(FolderOf(path));
  if (!loaded) ShowError("Cannot load file!");
}

void UtilityCommands::SelectStartupBank() {
  std::string folder;
  {
    FolderMemories& m = Memories();
    std::lock_guard<std::mutex> guard(m.lock);
    if (!m.startupSet) {
      m.startup = plug_.Settings().documentsFolder;
      m.startupSet = true;
    }
    folder = m.startup;
  }
  const std::string path = ChooseFile(false, "fxb", "", folder);
  if (path.empty()) return;
  plug_.SetStartupBank(path);
  FolderMemories& m = Memories();
  std::lock_guard<std::mutex> guard(m.lock);
  m.startup = FolderOf(path);
}

void UtilityCommands::LoadStartupBank() {
  const std::string path = plug_.Settings().startupBank;
  if (path.empty()) return;  // the item is grey then
  if (!Confirm(FormatWithPath("The Startup Bank is:\n%s\n\nDo you really want to reload all programs?", path),
               "Load Startup Bank")) {
    return;
  }
  if (!LoadBankFile(plug_, path)) ShowError("Cannot load file!");
}

void UtilityCommands::UnselectStartupBank() {
  const std::string path = plug_.Settings().startupBank;
  if (path.empty()) return;
  if (Confirm(FormatWithPath("The Startup Bank is:\n%s\n\nDo you really want to unselect it?", path),
              "Unselect Startup Bank")) {
    plug_.ClearStartupBank();
  }
}

void UtilityCommands::ChooseProgramFolder() {
  std::string folder = LastProgramFolder();
  if (folder.empty()) folder = plug_.Settings().documentsFolder;
  // A save dialog stands in for a folder chooser: only the chosen file's folder counts.
  const std::string path = ChooseFile(true, " ", "[file name is ignored]", folder);
  if (path.empty()) return;
  const std::string chosen = FolderOf(path);
  RememberProgramFolder(chosen);
  plug_.WriteProgramFilesPath(chosen);
}

void UtilityCommands::ReloadConfiguration() {
  if (!Confirm(FormatWithPath("The INI configuration file is:\n%s\n\nDo you really want to reload it?",
                              plug_.Settings().path),
               "Reload Configuration", true)) {
    return;
  }
  if (plug_.ReadConfiguration() == shell::ConfigurationStatus::kFileMissing) {
    graphics_.ShowMessage("The INI file does not exist.", "Problem with INI File", IMessageButtons::kOK);
  }
  // A zoom edited in the file shows at once, as a pick in the menu would.
  graphics_.SetUserZoom(ZoomSetting(plug_));
}

void UtilityCommands::CheckForUpdate() {
  EditorUpdateDialogs dialogs(graphics_);
  shell::CheckForUpdate(dialogs, shell::ConfiguredUpdateServer(plug_.Settings().path), ProductOf(plug_));
}

}  // namespace menus
