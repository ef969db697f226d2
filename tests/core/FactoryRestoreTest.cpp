// The embedded factory banks: finding their bodies, restoring a whole bank or only the
// current program, and the bank loaded when an instance starts.
#include "core/FactoryBanks.h"

#include "core/ProgramFiles.h"
#include "tests/core/FilesTestSupport.h"

namespace {

class FactoryRestoreTest : public files_test::FilesTest {};

TEST_F(FactoryRestoreTest, RestoringAProgramChangesOnlyTheCurrentOne) {
  Tesvar& reference = Make();
  reference.SelectPreset(16);
  const std::vector<double> soloBrass = Values(reference);

  Tesvar& plug = Make();
  plug.SwitchProgram(16);
  plug.SetParamFromEditor(kVcfCutoff, 0.99);
  plug.ModifyCurrentPreset("Mine");
  std::vector<std::string> names;
  std::vector<std::string> states;
  for (int i = 0; i < 64; ++i) {
    names.push_back(plug.ProgramName(i));
    const ChunkBuffer& s = plug.GetProgram(i)->state;
    states.emplace_back(reinterpret_cast<const char*>(s.Data()), s.Size());
  }
  shell_test::Recorded().Clear();
  ASSERT_TRUE(RestoreFactoryProgram(plug, 0));
  EXPECT_EQ(plug.ProgramName(16), "Solo Brass");
  EXPECT_EQ(Values(plug), soloBrass);
  EXPECT_EQ(shell_test::Recorded().Count(vst::audioMasterUpdateDisplay), 1);
  for (int i = 0; i < 64; ++i) {
    if (i == 16) continue;
    const ChunkBuffer& s = plug.GetProgram(i)->state;
    EXPECT_EQ(plug.ProgramName(i), names[i]);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Data()), s.Size()), states[i]) << i;
  }
}

TEST_F(FactoryRestoreTest, TheFirstTwoFactorySoundsHoldTheirPanelSettings) {
  // Parameters 8 ... 33 of "Fat Brass" and "Bowed Strings 8'" as the hardware has them.
  const double rows[2][26] = {{0, 0, 0, 0, 0, 1, 0, 4, 38, 2, 0, 3, 0, 7, 10, 4, 0, 0, 0, 0, 15, 1, 9, 2, 3, 0},
                              {1, 2, 3, 0, 1, 1, 0, 4, 43, 1, 1, 0, 0, 10, 12, 11, 9, 1, 0, 0, 15, 1, 10, 1, 3, 0}};
  Tesvar& plug = Make();
  for (int program = 0; program < 2; ++program) {
    plug.SelectPreset(program);
    for (int i = 0; i < 26; ++i) EXPECT_EQ(plug.GetParam(8 + i)->Value(), rows[program][i]) << program << " " << 8 + i;
  }
  EXPECT_EQ(plug.ProgramName(1), "Bowed Strings 8'");
}

TEST_F(FactoryRestoreTest, RestoringWholeBanks) {
  Tesvar& plug = Make();
  RestoreFactoryBank(plug, 1);
  EXPECT_EQ(plug.ProgramName(63), "Init");
  for (int i = 0; i < 64; ++i) EXPECT_TRUE(plug.GetProgram(i)->initialised);
  RestoreFactoryBank(plug, 2);
  EXPECT_NE(plug.ProgramName(0), "Fat Brass");
  RestoreFactoryBank(plug, 7);  // any other number is bank 0
  EXPECT_EQ(plug.ProgramName(0), "Fat Brass");
  EXPECT_EQ(plug.ProgramName(56), "Program 8-1");
  EXPECT_EQ(plug.ProgramName(63), "Program 8-8");
  EXPECT_STREQ(FactoryBankTitle(1), "Quellmark's Factory Sounds");
  EXPECT_STREQ(FactoryBankFileName(2), "veltrum.fxb");
  EXPECT_STREQ(FactoryBankType(-1), "FACTORY");
}

TEST_F(FactoryRestoreTest, AnEmptyImageChangesNothingButStillTellsTheHost) {
  Tesvar& plug = Make();
  plug.SetParamFromEditor(kVcfCutoff, 0.77);
  const std::vector<double> values = Values(plug);
  const std::string slots = Bank(plug);
  shell_test::Recorded().Clear();
  LoadBankFromMemory(plug, nullptr, 0);
  const std::uint8_t header[160] = {'C', 'c', 'n', 'K'};
  LoadBankFromMemory(plug, header, sizeof(header));
  EXPECT_EQ(Values(plug), values);
  EXPECT_EQ(Bank(plug), slots);
  EXPECT_EQ(shell_test::Recorded().Count(vst::audioMasterUpdateDisplay), 2);
}

TEST_F(FactoryRestoreTest, FindingTheBankBody) {
  Make();  // the first instance hands the embedded banks to the resource lookup
  const ChunkBuffer factory = LoadFactoryBankBytes(0);
  ASSERT_GT(factory.Size(), 168);
  EXPECT_EQ(FindBankBody(factory), 168);
  auto patched = [&](int at, const char* code) {
    ChunkBuffer copy;
    copy.Assign(factory.Data(), factory.Size());
    std::memcpy(copy.Data() + at, code, 4);
    return copy;
  };
  EXPECT_EQ(FindBankBody(patched(0, "CcnX")), 0);
  EXPECT_EQ(FindBankBody(patched(16, "abcd")), 0);
  EXPECT_EQ(FindBankBody(patched(8, "FxBk")), 156);
  EXPECT_EQ(FindBankBody(patched(160, "xxxx")), 160);  // no chunk header
  EXPECT_EQ(FindBankBody(ChunkBuffer()), 0);
}

TEST_F(FactoryRestoreTest, AnInstanceStartsWithItsStartupBank) {
  Tesvar& source = Make();
  source.SelectPreset(12);
  source.ModifyCurrentPreset("Startup Twelve");
  const std::string bank = Path("banks/startup.fxb");
  std::filesystem::create_directories(Path("banks"));
  ASSERT_TRUE(SaveBankFile(source, bank));

  WriteFile(Ini(), "[Startup Bank]\nFile=" + bank + "\n");
  Tesvar& started = Make();
  EXPECT_EQ(started.Settings().startupBank, bank);
  EXPECT_EQ(started.ProgramName(12), "Startup Twelve");

  // Another plug-in's bank is refused: factory bank 0 instead, forgotten in memory only.
  std::string foreign = ReadFile(bank);
  foreign.replace(16, 4, "abcd");
  WriteFile(bank, foreign);
  Tesvar& refused = Make();
  EXPECT_TRUE(refused.Settings().startupBank.empty());
  EXPECT_EQ(refused.ProgramName(12), "New Wave Organ");
  EXPECT_NE(ReadFile(Ini()).find("startup.fxb"), std::string::npos);
}

}  // namespace
