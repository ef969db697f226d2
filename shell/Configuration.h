// The shell's per-user settings and the INI file "tesvar.ini" that keeps them.
#pragma once

#include <array>
#include <string>

#include "tape/TapeReadSettings.h"

namespace shell {

// The tape-read settings are one set per loaded library, shared and overwritten by every
// instance (a change in one instance's tape dialog shows in all). Plain values without a
// lock: read and written on the host's user-interface thread only.
tape::TapeReadSettings& SharedTapeReadSettings();

enum class ConfigurationStatus { kDone, kFileMissing };

// Selectors of WriteConfiguration: the utility-menu commands that change a setting, and
// the tape loader's 8. Any negative value writes everything.
namespace ConfigurationScope {
inline constexpr int kAll = -1;
inline constexpr int kTapeRead = 8;
inline constexpr int kShowParameters = 19;
inline constexpr int kOpenAltView = 20;
inline constexpr int kMidiThru = 23;
inline constexpr int kIgnoreProgramChange = 24;
inline constexpr int kZoom = 37;  // the Zoom submenu's first command (any of its items)
}  // namespace ConfigurationScope

// The settings record the `Synth` shell owns, and the operations that read and write them.
// Every key is read and written on its own through the platform's private-profile calls,
// so the rest of the file (other sections, comments, keys of other versions) survives.
// All operations run on the host's user-interface thread (construction, menu commands).
class Configuration {
 public:
  static constexpr int kControllerCount = 120;

  Configuration() { controllerMap.fill(-1); }

  // Computes the file's location once, at construction of the shell: sets the process
  // locale to "en_US.UTF-8" (ignored when unavailable), creates the folder
  // "QuellmarkMusic" under the per-user settings folder when missing, takes the documents
  // folder as documents folder and program files path, then reads the file, or creates it
  // empty when missing. Without a settings folder the path stays empty: reads find no
  // file and writes do nothing.
  void LocateConfiguration();

  // Reads every key in file order and applies its read rule. A missing file reads as a
  // file with no keys and answers kFileMissing.
  ConfigurationStatus ReadConfiguration();

  // Writes the startup bank, then the keys of `scope` (see ConfigurationScope); other
  // selector values write the startup bank only.
  void WriteConfiguration(int scope);
  // Rewrites the section "Startup Bank" with the single key "File".
  void WriteStartupBank();
  // Sets and writes the startup bank; the bank is not loaded here.
  void SetStartupBank(const std::string& bankPath);
  // Forgets the startup bank and empties its section without writing "File".
  void ClearStartupBank();
  // Sets and writes "Path to Program Files" (written by nothing else).
  void WriteProgramFilesPath(const std::string& folder);

  // The settings. Texts are full paths; controller map entries are parameter indexes
  // (-1 = controller unmapped); they hold whatever the file said, range checks are the
  // MIDI handler's.
  bool midiThru = false;
  bool ignoreProgramChange = false;
  bool showParameters = false;
  bool openAltView = false;
  // The editor's "Zoom" ("Editor" / "Zoom"): "Auto" or a percent, as the file has it; the
  // editor decides what it means (editor/framework/EditorScale.h).
  std::string zoom = "Auto";
  std::string documentsFolder;
  std::string path;  // the INI file; empty when no settings folder is known
  std::string programFilesPath;
  std::string startupBank;
  std::array<int, kControllerCount> controllerMap{};
};

}  // namespace shell
