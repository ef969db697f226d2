// The configuration file: location, the read rule of every key, and write scopes that
// touch their own keys and nothing else.
#include "shell/Configuration.h"

#include <filesystem>

#include "platform/Platform.h"
#include "tests/platform/TempHome.h"

namespace {

class ConfigurationTest : public TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    shell::SharedTapeReadSettings() = tape::TapeReadSettings{};
  }
  void TearDown() override {
    shell::SharedTapeReadSettings() = tape::TapeReadSettings{};
    TempHome::TearDown();
  }

  std::string Folder() const { return Path(".config/QuellmarkMusic"); }
  std::string Ini() const { return Folder() + "/tesvar.ini"; }

  // A configuration located in the temporary home, reading `contents` when given.
  shell::Configuration Located(const std::string* contents = nullptr) {
    if (contents != nullptr) WriteFile(Ini(), *contents);
    shell::Configuration configuration;
    configuration.LocateConfiguration();
    return configuration;
  }
  shell::Configuration Located(const std::string& contents) { return Located(&contents); }
};

TEST_F(ConfigurationTest, FirstStartCreatesFolderAndEmptyFile) {
  ASSERT_FALSE(std::filesystem::exists(Path(".config")));
  std::filesystem::create_directories(Path("Documents"));
  shell::Configuration configuration = Located();
  EXPECT_EQ(configuration.path, Ini());
  ASSERT_TRUE(std::filesystem::is_regular_file(Ini()));
  EXPECT_EQ(std::filesystem::file_size(Ini()), 0u);
  EXPECT_EQ(configuration.documentsFolder, Path("Documents"));
  EXPECT_EQ(configuration.programFilesPath, Path("Documents"));
  EXPECT_TRUE(configuration.startupBank.empty());
  EXPECT_FALSE(configuration.showParameters || configuration.openAltView || configuration.midiThru ||
               configuration.ignoreProgramChange);
  for (int parameter : configuration.controllerMap) EXPECT_EQ(parameter, -1);
  const tape::TapeReadSettings& tape = shell::SharedTapeReadSettings();
  EXPECT_EQ(tape.highPassHz, 330.0);
  EXPECT_EQ(tape.lowPassHz, 5000.0);
  EXPECT_EQ(tape.thresholdPercent, 50.0);
  EXPECT_EQ(configuration.ReadConfiguration(), shell::ConfigurationStatus::kDone);
}

TEST_F(ConfigurationTest, MissingFileReadsAsNoKeysAndSaysSo) {
  shell::Configuration configuration = Located();
  configuration.startupBank = "/banks/a.fxb";
  configuration.showParameters = true;
  configuration.midiThru = true;
  configuration.controllerMap[7] = 16;
  shell::SharedTapeReadSettings().highPassEnabled = false;
  shell::SharedTapeReadSettings().thresholdPercent = 80.0;
  std::filesystem::remove(Ini());
  EXPECT_EQ(configuration.ReadConfiguration(), shell::ConfigurationStatus::kFileMissing);
  // Absent keys: the startup bank is emptied, editor and MIDI flags stay, tape settings
  // return to their defaults and every controller is unmapped.
  EXPECT_TRUE(configuration.startupBank.empty());
  EXPECT_TRUE(configuration.showParameters);
  EXPECT_TRUE(configuration.midiThru);
  EXPECT_EQ(configuration.controllerMap[7], -1);
  EXPECT_TRUE(shell::SharedTapeReadSettings().highPassEnabled);
  EXPECT_EQ(shell::SharedTapeReadSettings().thresholdPercent, 50.0);
  EXPECT_FALSE(std::filesystem::exists(Ini()));
}

TEST_F(ConfigurationTest, FlagsAreCaseSensitiveExceptTheMidiOnes) {
  shell::Configuration configuration = Located(
      "[Editor]\nShow Parameters=TRUE\nOpen Alt View=true\n"
      "[MIDI Global]\nMIDI Thru=TRUE\nIgnore Program Change=True\n"
      "[Tape Read]\nHighpass Enabled=True\nLowpass Enabled=false\n");
  EXPECT_FALSE(configuration.showParameters);
  EXPECT_TRUE(configuration.openAltView);
  EXPECT_TRUE(configuration.midiThru);
  EXPECT_TRUE(configuration.ignoreProgramChange);
  EXPECT_FALSE(shell::SharedTapeReadSettings().highPassEnabled);
  EXPECT_FALSE(shell::SharedTapeReadSettings().lowPassEnabled);

  // Empty editor values leave the flags as they are.
  WriteFile(Ini(), "[Editor]\nShow Parameters=\nOpen Alt View=\n");
  configuration.showParameters = true;
  configuration.ReadConfiguration();
  EXPECT_TRUE(configuration.showParameters);
  EXPECT_TRUE(configuration.openAltView);
}

TEST_F(ConfigurationTest, TapeNumbersTakeOnlyPositiveValuesWithoutLeadingZero) {
  tape::TapeReadSettings& tape = shell::SharedTapeReadSettings();
  Located("[Tape Read]\nThreshold=0\nHighpass Frequency=0330\nLowpass Frequency=-5\n");
  EXPECT_EQ(tape.thresholdPercent, 50.0);
  EXPECT_EQ(tape.highPassHz, 330.0);
  EXPECT_EQ(tape.lowPassHz, 5000.0);
  WriteFile(Ini(), "[Tape Read]\nThreshold=075\nHighpass Frequency=250.9\nLowpass Frequency=9e3\n");
  shell::Configuration configuration;
  configuration.path = Ini();
  configuration.ReadConfiguration();
  EXPECT_EQ(tape.thresholdPercent, 50.0);
  EXPECT_EQ(tape.highPassHz, 250.0);
  EXPECT_EQ(tape.lowPassHz, 9.0);
  WriteFile(Ini(), "[Tape Read]\nThreshold=75\nLowpass Frequency=99999999999999\n");
  configuration.ReadConfiguration();
  EXPECT_EQ(tape.thresholdPercent, 75.0);
  // Saturates like the Windows run time's atoi instead of overflowing.
  EXPECT_EQ(tape.lowPassHz, 2147483647.0);
}

TEST_F(ConfigurationTest, ControllerRuleForZeroTextEmptyAndMissing) {
  shell::Configuration configuration = Located();
  const auto readWith = [&](const std::string& line) {
    configuration.controllerMap.fill(-1);
    configuration.controllerMap[7] = 33;
    WriteFile(Ini(), "[MIDI Control]\n" + line + "\nCC1=70\nCC2=-4\nCC3=00\n");
    configuration.ReadConfiguration();
    return configuration.controllerMap[7];
  };
  EXPECT_EQ(readWith("CC7=0"), 0);
  EXPECT_EQ(readWith("CC7=x"), -1);
  EXPECT_EQ(readWith("CC7="), 33);
  EXPECT_EQ(readWith("; no CC7"), -1);
  EXPECT_EQ(readWith("cc7=12"), 12);
  // Any non-zero number is taken as it stands; range checks belong to the MIDI handler.
  EXPECT_EQ(configuration.controllerMap[1], 70);
  EXPECT_EQ(configuration.controllerMap[2], -4);
  EXPECT_EQ(configuration.controllerMap[3], 0);
  EXPECT_EQ(configuration.controllerMap[119], -1);
}

TEST_F(ConfigurationTest, SaveWritesEveryKeyAndOnlyMappedControllers) {
  shell::Configuration configuration = Located("[MIDI Control]\nCC1=5\nCC9=2\n");
  configuration.controllerMap.fill(-1);
  configuration.controllerMap[7] = 16;
  configuration.startupBank = "/banks/live.fxb";
  configuration.midiThru = true;
  configuration.zoom = "150";
  shell::SharedTapeReadSettings().highPassHz = 412.9;
  configuration.WriteConfiguration(shell::ConfigurationScope::kAll);
  EXPECT_EQ(ReadFile(Ini()),
            "[MIDI Control]\nCC7=16\n"
            "[Startup Bank]\nFile=/banks/live.fxb\n"
            "[Editor]\nShow Parameters=false\nOpen Alt View=false\nZoom=150\n"
            "[MIDI Global]\nMIDI Thru=true\nIgnore Program Change=false\n"
            "[Tape Read]\nHighpass Enabled=true\nLowpass Enabled=true\n"
            "Highpass Frequency=412\nLowpass Frequency=5000\nThreshold=50\n");

  // What was written reads back into a fresh record.
  shell::Configuration reread;
  reread.path = Ini();
  shell::SharedTapeReadSettings() = tape::TapeReadSettings{};
  EXPECT_EQ(reread.ReadConfiguration(), shell::ConfigurationStatus::kDone);
  EXPECT_EQ(reread.startupBank, "/banks/live.fxb");
  EXPECT_EQ(reread.zoom, "150");
  EXPECT_TRUE(reread.midiThru);
  EXPECT_EQ(reread.controllerMap, configuration.controllerMap);
  EXPECT_EQ(shell::SharedTapeReadSettings().highPassHz, 412.0);
}

TEST_F(ConfigurationTest, ScopesRewriteTheStartupBankAndTheirOwnKeys) {
  const std::string before =
      "; kept\n[Startup Bank]\nFile=/old.fxb\nStray=1\n\n"
      "[Editor]\nShow Parameters=false\nOpen Alt View=false\n\n"
      "[MIDI Global]\nMIDI Thru=false\n";
  shell::Configuration configuration = Located(before);
  configuration.showParameters = true;
  configuration.openAltView = true;
  configuration.midiThru = true;
  configuration.WriteConfiguration(shell::ConfigurationScope::kShowParameters);
  EXPECT_EQ(ReadFile(Ini()),
            "; kept\n[Startup Bank]\nFile=/old.fxb\n\n"
            "[Editor]\nShow Parameters=true\nOpen Alt View=false\n\n"
            "[MIDI Global]\nMIDI Thru=false\n");

  configuration.WriteConfiguration(shell::ConfigurationScope::kMidiThru);
  EXPECT_NE(ReadFile(Ini()).find("MIDI Thru=true\n"), std::string::npos);
  EXPECT_NE(ReadFile(Ini()).find("Open Alt View=false\n"), std::string::npos);
  configuration.WriteConfiguration(shell::ConfigurationScope::kTapeRead);
  EXPECT_EQ(platform::ReadProfileString(Ini(), "Tape Read", "Threshold", "", 259), "50");
  EXPECT_EQ(platform::ReadProfileString(Ini(), "MIDI Control", "CC0", "none", 64), "none");
}

TEST_F(ConfigurationTest, StartupBankAndProgramFilesPath) {
  shell::Configuration configuration = Located();
  configuration.SetStartupBank("/banks/set.fxb");
  EXPECT_EQ(ReadFile(Ini()), "[Startup Bank]\nFile=/banks/set.fxb\n");
  configuration.ClearStartupBank();
  EXPECT_TRUE(configuration.startupBank.empty());
  EXPECT_EQ(ReadFile(Ini()), "[Startup Bank]\n");

  // Only 63 characters of the folder are read back.
  const std::string folder = "/" + std::string(99, 'f');
  configuration.WriteProgramFilesPath(folder);
  EXPECT_EQ(configuration.programFilesPath, folder);
  shell::Configuration reread = Located();
  EXPECT_EQ(reread.programFilesPath, folder.substr(0, 63));
  // "Path to Program Files" is left out of a full save.
  reread.programFilesPath = "/elsewhere";
  reread.WriteConfiguration(shell::ConfigurationScope::kAll);
  EXPECT_EQ(platform::ReadProfileString(Ini(), "Global", "Path to Program Files", "", 259), folder);
}

TEST_F(ConfigurationTest, PathsWithEdgeBlanksOrQuotesReadBackAsWritten) {
  // Values are read trimmed and unquoted; such paths were written bare and came back changed.
  for (const std::string path : {" /banks/lead.fxb", "/banks/pad.fxb ", "'/banks/q.fxb'", "\"/x\"", "/plain.fxb"}) {
    shell::Configuration configuration = Located();
    configuration.SetStartupBank(path);
    configuration.WriteProgramFilesPath(path);
    shell::Configuration reread = Located();
    EXPECT_EQ(reread.startupBank, path);
    EXPECT_EQ(reread.programFilesPath, path);
    reread.WriteConfiguration(shell::ConfigurationScope::kAll);
    EXPECT_EQ(Located().startupBank, path);
  }
}

TEST_F(ConfigurationTest, InstancesShareTheTapeSettings) {
  shell::Configuration first = Located();
  shell::Configuration second = Located();
  shell::SharedTapeReadSettings().highPassHz = 280.0;
  first.WriteConfiguration(shell::ConfigurationScope::kTapeRead);
  second.ReadConfiguration();
  EXPECT_EQ(shell::SharedTapeReadSettings().highPassHz, 280.0);
  EXPECT_EQ(&shell::SharedTapeReadSettings(), &shell::SharedTapeReadSettings());
}

TEST_F(ConfigurationTest, NoSettingsFolderMeansNoFileIsTouched) {
  // Without a settings folder the path stays empty: nothing may land in the working
  // folder or at the root of the file system.
  shell::Configuration configuration;
  configuration.startupBank = "/banks/a.fxb";
  EXPECT_EQ(configuration.ReadConfiguration(), shell::ConfigurationStatus::kFileMissing);
  EXPECT_TRUE(configuration.startupBank.empty());
  configuration.WriteConfiguration(shell::ConfigurationScope::kAll);
  configuration.WriteProgramFilesPath("/x");
  EXPECT_FALSE(std::filesystem::exists("tesvar.ini"));
  EXPECT_FALSE(std::filesystem::exists("/tesvar.ini"));
}

}  // namespace
