// Reading and writing "tesvar.ini": the location, the key table and its read rules.
#include "shell/Configuration.h"

#include <clocale>
#include <climits>
#include <cstdio>
#include <vector>

#include "platform/Platform.h"
#include "shell/Atoi.h"

namespace shell {
namespace {

// Value buffers of the private-profile reads, terminator included.
constexpr std::size_t kValueBuffer = 259;
constexpr std::size_t kShortBuffer = 64;  // program files path and controller keys

constexpr char kStartupSection[] = "Startup Bank";
constexpr char kEditorSection[] = "Editor";
constexpr char kGlobalSection[] = "Global";
constexpr char kMidiSection[] = "MIDI Global";
constexpr char kTapeSection[] = "Tape Read";
constexpr char kControlSection[] = "MIDI Control";

constexpr char kShowParametersKey[] = "Show Parameters";
constexpr char kOpenAltViewKey[] = "Open Alt View";
constexpr char kZoomKey[] = "Zoom";
constexpr char kMidiThruKey[] = "MIDI Thru";
constexpr char kIgnoreProgramChangeKey[] = "Ignore Program Change";

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return i == a.size() && b[i] == '\0';
}

const char* FlagText(bool flag) { return flag ? "true" : "false"; }

// Tape numbers are written truncated toward zero, kept inside the int range.
std::string NumberText(double value) {
  int whole = 0;
  if (value >= static_cast<double>(INT_MAX)) {
    whole = INT_MAX;
  } else if (value <= static_cast<double>(INT_MIN)) {
    whole = INT_MIN;
  } else if (value == value) {
    whole = static_cast<int>(value);
  }
  return std::to_string(whole);
}

std::string ControllerKey(int controller) { return "CC" + std::to_string(controller); }

// A value is read trimmed and with one pair of enclosing quotes taken off: a path that
// starts or ends with a blank, or is enclosed in quotes itself, is written quoted so that
// it reads back as it was.
std::string PathText(const std::string& path) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  const bool enclosed =
      path.size() >= 2 && (path.front() == '"' || path.front() == '\'') && path.back() == path.front();
  if (!path.empty() && (blank(path.front()) || blank(path.back()) || enclosed)) return '"' + path + '"';
  return path;
}

}  // namespace

tape::TapeReadSettings& SharedTapeReadSettings() {
  static tape::TapeReadSettings settings;
  return settings;
}

void Configuration::LocateConfiguration() {
  std::setlocale(LC_ALL, "en_US.UTF-8");
  const std::string base = platform::LocalAppDataFolder();
  path.clear();
  if (!base.empty()) {
    const std::string folder = base + platform::PathSeparator() + "QuellmarkMusic";
    // A fresh POSIX home may lack the settings folder itself; Windows always has it.
    if (!platform::PathExists(base)) platform::CreateFolder(base);
    if (!platform::PathExists(folder)) platform::CreateFolder(folder);
    path = folder + platform::PathSeparator() + "tesvar.ini";
  }
  documentsFolder = platform::DocumentsFolder();
  programFilesPath = documentsFolder;
  if (path.empty()) return;
  if (platform::PathExists(path)) {
    ReadConfiguration();
  } else if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fclose(file);
  }
}

ConfigurationStatus Configuration::ReadConfiguration() {
  const bool exists = !path.empty() && platform::PathExists(path);
  // With no file every read below gives its fallback: the absent-key values apply.
  auto read = [this](const char* section, const char* key, const char* fallback, std::size_t buffer) {
    return platform::ReadProfileString(path, section, key, fallback, buffer);
  };
  // Editor and tape flags are "true" with case; MIDI flags ignore case.
  auto readFlag = [&](const char* section, const char* key, const char* fallback, bool& flag) {
    const std::string value = read(section, key, fallback, kValueBuffer);
    if (!value.empty()) flag = value == "true";
  };
  auto readMidiFlag = [&](const char* key, bool& flag) {
    const std::string value = read(kMidiSection, key, FlagText(flag), kValueBuffer);
    if (!value.empty()) flag = EqualsIgnoringCase(value, "true");
  };
  // Only positive numbers without a leading '0' replace the setting.
  auto readNumber = [&](const char* key, const char* fallback, double& number) {
    const std::string value = read(kTapeSection, key, fallback, kValueBuffer);
    const int parsed = SaturatingAtoi(value);
    if (parsed > 0 && value[0] != '0') number = parsed;
  };

  startupBank.clear();
  startupBank = read(kStartupSection, "File", "", kValueBuffer);
  readFlag(kEditorSection, kShowParametersKey, "", showParameters);
  readFlag(kEditorSection, kOpenAltViewKey, "", openAltView);
  // The editor reads the value (Auto or a percent); a missing key means Auto.
  zoom = read(kEditorSection, kZoomKey, "Auto", kValueBuffer);
  const std::string folder = read(kGlobalSection, "Path to Program Files", "", kShortBuffer);
  if (!folder.empty()) programFilesPath = folder;
  readMidiFlag(kMidiThruKey, midiThru);
  readMidiFlag(kIgnoreProgramChangeKey, ignoreProgramChange);

  tape::TapeReadSettings& tape = SharedTapeReadSettings();
  readFlag(kTapeSection, "Highpass Enabled", "true", tape.highPassEnabled);
  readFlag(kTapeSection, "Lowpass Enabled", "true", tape.lowPassEnabled);
  readNumber("Highpass Frequency", "330", tape.highPassHz);
  readNumber("Lowpass Frequency", "5000", tape.lowPassHz);
  readNumber("Threshold", "50", tape.thresholdPercent);

  // An empty value leaves the entry; "0..." maps to parameter 0; anything else that
  // reads as 0 (a missing key gives "-1", text gives 0) unmaps.
  for (int controller = 0; controller < kControllerCount; ++controller) {
    const std::string value = read(kControlSection, ControllerKey(controller).c_str(), "-1", kShortBuffer);
    if (value.empty()) continue;
    const int parameter = SaturatingAtoi(value);
    if (parameter != 0) {
      controllerMap[controller] = parameter;
    } else {
      controllerMap[controller] = value[0] == '0' ? 0 : -1;
    }
  }
  return exists ? ConfigurationStatus::kDone : ConfigurationStatus::kFileMissing;
}

void Configuration::WriteConfiguration(int scope) {
  WriteStartupBank();
  const bool all = scope < 0;
  if (all || scope == ConfigurationScope::kShowParameters) {
    platform::WriteProfileString(path, kEditorSection, kShowParametersKey, FlagText(showParameters));
  }
  if (all || scope == ConfigurationScope::kOpenAltView) {
    platform::WriteProfileString(path, kEditorSection, kOpenAltViewKey, FlagText(openAltView));
  }
  if (all || scope == ConfigurationScope::kZoom) {
    platform::WriteProfileString(path, kEditorSection, kZoomKey, zoom.c_str());
  }
  if (all || scope == ConfigurationScope::kMidiThru) {
    platform::WriteProfileString(path, kMidiSection, kMidiThruKey, FlagText(midiThru));
  }
  if (all || scope == ConfigurationScope::kIgnoreProgramChange) {
    platform::WriteProfileString(path, kMidiSection, kIgnoreProgramChangeKey, FlagText(ignoreProgramChange));
  }
  if (all || scope == ConfigurationScope::kTapeRead) {
    const tape::TapeReadSettings& tape = SharedTapeReadSettings();
    platform::WriteProfileString(path, kTapeSection, "Highpass Enabled", FlagText(tape.highPassEnabled));
    platform::WriteProfileString(path, kTapeSection, "Lowpass Enabled", FlagText(tape.lowPassEnabled));
    platform::WriteProfileString(path, kTapeSection, "Highpass Frequency", NumberText(tape.highPassHz).c_str());
    platform::WriteProfileString(path, kTapeSection, "Lowpass Frequency", NumberText(tape.lowPassHz).c_str());
    platform::WriteProfileString(path, kTapeSection, "Threshold", NumberText(tape.thresholdPercent).c_str());
  }
  if (all) {
    // The section is emptied and refilled with the mapped controllers only, in one write.
    std::vector<std::string> lines;
    for (int controller = 0; controller < kControllerCount; ++controller) {
      if (controllerMap[controller] >= 0) {
        lines.push_back(ControllerKey(controller) + "=" + std::to_string(controllerMap[controller]));
      }
    }
    platform::WriteProfileSection(path, kControlSection, lines);
  }
}

void Configuration::WriteStartupBank() {
  // Emptying the section and writing "File" in one write gives the same file.
  platform::WriteProfileSection(path, kStartupSection, {"File=" + PathText(startupBank)});
}

void Configuration::SetStartupBank(const std::string& bankPath) {
  startupBank = bankPath;
  WriteStartupBank();
}

void Configuration::ClearStartupBank() {
  startupBank.clear();
  platform::WriteProfileSection(path, kStartupSection, {});
}

void Configuration::WriteProgramFilesPath(const std::string& folder) {
  programFilesPath = folder;
  platform::WriteProfileString(path, kGlobalSection, "Path to Program Files", PathText(folder).c_str());
}

}  // namespace shell
