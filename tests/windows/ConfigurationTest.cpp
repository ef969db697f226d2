// The configuration file on Windows: created in the profile's local application data folder
// under "QuellmarkMusic" and read and written through the real private-profile functions,
// in the scenarios of the POSIX tests and with the same results. These tests delete the
// settings folder, so they run only in a throw-away profile (a temporary Wine prefix).
#include "shell/Configuration.h"

#include "platform/Platform.h"
#include "tests/windows/WineSupport.h"

namespace {

class ConfigurationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!wintest::TemporaryProfile()) GTEST_SKIP() << "needs a temporary profile (tools/wine-test.sh)";
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    shell::SharedTapeReadSettings() = tape::TapeReadSettings{};
  }
  void TearDown() override {
    shell::SharedTapeReadSettings() = tape::TapeReadSettings{};
    if (!wintest::TemporaryProfile()) return;
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
  }

  static std::string Folder() { return wintest::ShellFolder(CSIDL_LOCAL_APPDATA) + "\\QuellmarkMusic"; }
  static std::string Ini() { return Folder() + "\\tesvar.ini"; }
  static std::string IniText() { return wintest::WithLf(wintest::ReadFile(Ini())); }

  shell::Configuration Located(const std::string* contents = nullptr) {
    if (contents != nullptr) wintest::WriteFile(Ini(), *contents);
    shell::Configuration configuration;
    configuration.LocateConfiguration();
    return configuration;
  }
  shell::Configuration Located(const std::string& contents) { return Located(&contents); }
};

TEST_F(ConfigurationTest, FirstStartCreatesFolderAndEmptyFile) {
  ASSERT_FALSE(platform::PathExists(Folder()));
  shell::Configuration configuration = Located();
  EXPECT_EQ(configuration.path, Ini());
  ASSERT_TRUE(std::filesystem::is_regular_file(Ini()));
  EXPECT_EQ(std::filesystem::file_size(Ini()), 0u);
  EXPECT_EQ(configuration.documentsFolder, wintest::ShellFolder(CSIDL_PERSONAL));
  EXPECT_EQ(configuration.programFilesPath, configuration.documentsFolder);
  EXPECT_TRUE(configuration.startupBank.empty());
  EXPECT_FALSE(configuration.showParameters || configuration.openAltView || configuration.midiThru ||
               configuration.ignoreProgramChange);
  for (int parameter : configuration.controllerMap) EXPECT_EQ(parameter, -1);
  EXPECT_EQ(shell::SharedTapeReadSettings().thresholdPercent, 50.0);
  EXPECT_EQ(configuration.ReadConfiguration(), shell::ConfigurationStatus::kDone);

  // A missing file reads as no keys and says so.
  configuration.startupBank = "C:\\banks\\a.fxb";
  configuration.controllerMap[7] = 16;
  std::filesystem::remove(Ini());
  EXPECT_EQ(configuration.ReadConfiguration(), shell::ConfigurationStatus::kFileMissing);
  EXPECT_TRUE(configuration.startupBank.empty());
  EXPECT_EQ(configuration.controllerMap[7], -1);
  EXPECT_FALSE(std::filesystem::exists(Ini()));
}

TEST_F(ConfigurationTest, FlagsAreCaseSensitiveExceptTheMidiOnes) {
  shell::Configuration configuration = Located(
      "[Editor]\r\nShow Parameters=TRUE\r\nOpen Alt View=true\r\n"
      "[MIDI Global]\r\nMIDI Thru=TRUE\r\nIgnore Program Change=True\r\n"
      "[Tape Read]\r\nHighpass Enabled=True\r\nLowpass Enabled=false\r\n");
  EXPECT_FALSE(configuration.showParameters);
  EXPECT_TRUE(configuration.openAltView);
  EXPECT_TRUE(configuration.midiThru);
  EXPECT_TRUE(configuration.ignoreProgramChange);
  EXPECT_FALSE(shell::SharedTapeReadSettings().highPassEnabled);
  EXPECT_FALSE(shell::SharedTapeReadSettings().lowPassEnabled);
}

TEST_F(ConfigurationTest, TapeNumbersTakeOnlyPositiveValuesWithoutLeadingZero) {
  tape::TapeReadSettings& tape = shell::SharedTapeReadSettings();
  shell::Configuration configuration =
      Located("[Tape Read]\r\nThreshold=0\r\nHighpass Frequency=0330\r\nLowpass Frequency=-5\r\n");
  EXPECT_EQ(tape.thresholdPercent, 50.0);
  EXPECT_EQ(tape.highPassHz, 330.0);
  EXPECT_EQ(tape.lowPassHz, 5000.0);
  wintest::WriteFile(Ini(), "[Tape Read]\r\nThreshold=075\r\nHighpass Frequency=250.9\r\n");
  configuration.ReadConfiguration();
  EXPECT_EQ(tape.thresholdPercent, 50.0);
  EXPECT_EQ(tape.highPassHz, 250.0);
  wintest::WriteFile(Ini(), "[Tape Read]\r\nThreshold=75\r\nLowpass Frequency=99999999999999\r\n");
  configuration.ReadConfiguration();
  EXPECT_EQ(tape.thresholdPercent, 75.0);
  EXPECT_EQ(tape.lowPassHz, 2147483647.0);
}

TEST_F(ConfigurationTest, ControllerRuleForZeroTextEmptyAndMissing) {
  shell::Configuration configuration = Located();
  const auto readWith = [&](const std::string& line) {
    configuration.controllerMap.fill(-1);
    configuration.controllerMap[7] = 33;
    wintest::WriteFile(Ini(), "[MIDI Control]\r\n" + line + "\r\nCC1=70\r\nCC2=-4\r\nCC3=00\r\n");
    configuration.ReadConfiguration();
    return configuration.controllerMap[7];
  };
  EXPECT_EQ(readWith("CC7=0"), 0);
  EXPECT_EQ(readWith("CC7=x"), -1);
  EXPECT_EQ(readWith("CC7="), 33);
  EXPECT_EQ(readWith("; no CC7"), -1);
  EXPECT_EQ(readWith("cc7=12"), 12);
  EXPECT_EQ(configuration.controllerMap[1], 70);
  EXPECT_EQ(configuration.controllerMap[2], -4);
  EXPECT_EQ(configuration.controllerMap[3], 0);
  EXPECT_EQ(configuration.controllerMap[119], -1);
}

TEST_F(ConfigurationTest, SaveWritesEveryKeyAndOnlyMappedControllers) {
  shell::Configuration configuration = Located("[MIDI Control]\r\nCC1=5\r\nCC9=2\r\n");
  configuration.controllerMap.fill(-1);
  configuration.controllerMap[7] = 16;
  configuration.startupBank = "C:\\banks\\live.fxb";
  configuration.midiThru = true;
  shell::SharedTapeReadSettings().highPassHz = 412.9;
  configuration.WriteConfiguration(shell::ConfigurationScope::kAll);
  EXPECT_EQ(IniText(),
            "[MIDI Control]\nCC7=16\n"
            "[Startup Bank]\nFile=C:\\banks\\live.fxb\n"
            "[Editor]\nShow Parameters=false\nOpen Alt View=false\nZoom=Auto\n"
            "[MIDI Global]\nMIDI Thru=true\nIgnore Program Change=false\n"
            "[Tape Read]\nHighpass Enabled=true\nLowpass Enabled=true\n"
            "Highpass Frequency=412\nLowpass Frequency=5000\nThreshold=50\n");

  shell::Configuration reread;
  reread.path = Ini();
  shell::SharedTapeReadSettings() = tape::TapeReadSettings{};
  EXPECT_EQ(reread.ReadConfiguration(), shell::ConfigurationStatus::kDone);
  EXPECT_EQ(reread.startupBank, "C:\\banks\\live.fxb");
  EXPECT_TRUE(reread.midiThru);
  EXPECT_EQ(reread.controllerMap, configuration.controllerMap);
  EXPECT_EQ(shell::SharedTapeReadSettings().highPassHz, 412.0);
}

TEST_F(ConfigurationTest, ScopesRewriteTheStartupBankAndTheirOwnKeys) {
  shell::Configuration configuration = Located(
      "[Startup Bank]\r\nFile=C:\\old.fxb\r\nStray=1\r\n"
      "[Editor]\r\nShow Parameters=false\r\nOpen Alt View=false\r\n"
      "[MIDI Global]\r\nMIDI Thru=false\r\n");
  configuration.showParameters = true;
  configuration.openAltView = true;
  configuration.midiThru = true;
  configuration.WriteConfiguration(shell::ConfigurationScope::kShowParameters);
  EXPECT_EQ(IniText(),
            "[Startup Bank]\nFile=C:\\old.fxb\n"
            "[Editor]\nShow Parameters=true\nOpen Alt View=false\n"
            "[MIDI Global]\nMIDI Thru=false\n");
  configuration.WriteConfiguration(shell::ConfigurationScope::kMidiThru);
  EXPECT_NE(IniText().find("MIDI Thru=true\n"), std::string::npos);
  EXPECT_NE(IniText().find("Open Alt View=false\n"), std::string::npos);
}

TEST_F(ConfigurationTest, StartupBankAndProgramFilesPath) {
  shell::Configuration configuration = Located();
  configuration.SetStartupBank("C:\\banks\\set.fxb");
  EXPECT_EQ(IniText(), "[Startup Bank]\nFile=C:\\banks\\set.fxb\n");
  configuration.ClearStartupBank();
  EXPECT_TRUE(configuration.startupBank.empty());
  EXPECT_EQ(platform::ReadProfileString(Ini(), "Startup Bank", "File", "none", 259), "none");

  const std::string folder = "C:\\" + std::string(97, 'f');
  configuration.WriteProgramFilesPath(folder);
  shell::Configuration reread = Located();
  EXPECT_EQ(reread.programFilesPath, folder.substr(0, 63));
  reread.programFilesPath = "C:\\elsewhere";
  reread.WriteConfiguration(shell::ConfigurationScope::kAll);
  EXPECT_EQ(platform::ReadProfileString(Ini(), "Global", "Path to Program Files", "", 259), folder);
}

}  // namespace
