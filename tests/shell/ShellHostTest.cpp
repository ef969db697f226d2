// The shell as a host sees it: the built plug-in loaded through its entry point, its
// settings file in a temporary home written before each instance is created.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/shell/ShellTestSupport.h"
#include "tools/PluginHost.h"

namespace {

class ShellHostTest : public shell_test::TempHome {
 protected:
  std::unique_ptr<PluginHost> Load(const std::string& ini = std::string()) {
    if (!ini.empty()) WriteFile(Ini(), ini);
    auto host = std::make_unique<PluginHost>();
    EXPECT_TRUE(host->Load(TESVAR_PLUGIN_PATH)) << host->Error();
    host->Start(44100.0, 512);
    return host;
  }
  static std::string ProgramName(PluginHost& host, int index) {
    return host.Text(vst::effGetProgramNameIndexed, index);
  }
};

TEST_F(ShellHostTest, FirstStartMakesAnEmptySettingsFileAndLoadsTheFactoryBank) {
  auto host = Load();
  ASSERT_TRUE(std::filesystem::is_regular_file(Ini()));
  EXPECT_EQ(std::filesystem::file_size(Ini()), 0u);
  EXPECT_EQ(ProgramName(*host, 0), "Fat Brass");
  EXPECT_EQ(ProgramName(*host, 16), "Solo Brass");
  EXPECT_EQ(host->Text(vst::effGetProgramName, 0), "Fat Brass");
}

TEST_F(ShellHostTest, ThruEchoesEverythingThroughHostRequest8) {
  auto host = Load("[MIDI Global]\nMIDI Thru=True\n");
  host->SendMidi({{17, 0x91, 60, 0}, {20, 0xC0, 5, 0}, {30, 0xF8, 0, 0}});
  ASSERT_EQ(host->midiOut.size(), 3u);
  EXPECT_EQ(host->midiOut[0].offset, 17);
  EXPECT_EQ(host->midiOut[0].status, 0x91);
  EXPECT_EQ(host->midiOut[0].data2, 0);
  EXPECT_EQ(host->midiOut[2].status, 0xF8);
  EXPECT_EQ(host->Dispatch(vst::effGetProgram), 5);
}

TEST_F(ShellHostTest, ProgramChangesFollowTheIgnoreSetting) {
  auto host = Load();
  host->SendMidi({{0, 0xC4, 16, 0}});
  EXPECT_EQ(host->Dispatch(vst::effGetProgram), 16);
  EXPECT_EQ(host->Text(vst::effGetProgramName, 0), "Solo Brass");
  EXPECT_TRUE(host->midiOut.empty());
  host->Close();

  auto ignoring = Load("[MIDI Global]\nIgnore Program Change=TRUE\n");
  ignoring->SendMidi({{0, 0xC0, 16, 0}});
  EXPECT_EQ(ignoring->Dispatch(vst::effGetProgram), 0);
}

TEST_F(ShellHostTest, AControllerMappedInTheSettingsMovesItsParameter) {
  auto host = Load("[MIDI Control]\nCC7=16\nCC8=51\n");
  host->SendMidi({{0, 0xB0, 7, 127}, {0, 0xB0, 8, 0}, {600, 0xB0, 7, 0}});
  std::vector<float> left, right;
  host->ProcessReplacing(left, right, 512);
  EXPECT_EQ(host->GetParameter(16), 1.0f);
  bool reported = false;
  for (const auto& a : host->automations) reported |= a.index == 16 && a.value == 1.0f;
  EXPECT_TRUE(reported);
  // The message at 600 belongs to the next block.
  host->ProcessReplacing(left, right, 512);
  EXPECT_EQ(host->GetParameter(16), 0.0f);
}

TEST_F(ShellHostTest, TheStartupBankOfTheSettingsIsLoaded) {
  // A bank file made from one instance's bank chunk, with a renamed program.
  auto first = Load();
  char name[] = "Startup Test";
  first->Dispatch(vst::effSetProgram, 0, 3);
  first->Dispatch(vst::effSetProgramName, 0, 0, name);
  void* chunk = nullptr;
  const std::intptr_t size = first->Dispatch(vst::effGetChunk, 0, 0, &chunk);
  ASSERT_GT(size, 8);
  std::string file(160, '\0');
  std::memcpy(&file[0], "CcnK", 4);
  std::memcpy(&file[8], "FBCh", 4);
  std::memcpy(&file[16], "tsvr", 4);
  file[27] = 64;
  file.append(static_cast<const char*>(chunk), static_cast<std::size_t>(size));
  first->Close();
  const std::string bank = Path("banks/startup.fxb");
  WriteFile(bank, file);

  auto second = Load("[Startup Bank]\nFile=" + bank + "\n");
  EXPECT_EQ(ProgramName(*second, 3), "Startup Test");
  EXPECT_EQ(ProgramName(*second, 0), "Fat Brass");
}

}  // namespace
