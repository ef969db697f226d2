// The program browser's list: embedded banks and files read without touching the plug-in.
#include "core/ProgramList.h"

#include "core/ProgramFiles.h"
#include "tests/core/FilesTestSupport.h"

namespace {

const BodyFormat kFormat{std::string_view(Tesvar::kStateTag, sizeof(Tesvar::kStateTag)), kParamCount};

class ProgramListTest : public files_test::FilesTest {};

TEST_F(ProgramListTest, EmbeddedBankListsAllProgramsWithUsableBodies) {
  Tesvar& plug = Make();
  const std::string slots = Bank(plug);
  std::vector<BrowsedProgram> list;
  ASSERT_TRUE(ListEmbeddedBankPrograms(0, kFormat, list));
  ASSERT_EQ(list.size(), 64u);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(list[i].name, plug.ProgramName(i));
  EXPECT_EQ(Bank(plug), slots);
  // A listed body is a state the product reads: program 16's values.
  Tesvar& reference = Make();
  reference.SelectPreset(16);
  EXPECT_EQ(plug.ReadState(list[16].state, 0), list[16].state.Size());
  EXPECT_EQ(Values(plug), Values(reference));
  ASSERT_TRUE(ListEmbeddedBankPrograms(1, kFormat, list));
  EXPECT_EQ(list.back().name, "Init");
}

TEST_F(ProgramListTest, FilesAreListedByTheirExtension) {
  Tesvar& plug = Make();
  plug.SelectPreset(3);
  const std::string longName(100, 'n');
  plug.ModifyCurrentPreset(longName.c_str());
  plug.ModifyCurrentPreset(nullptr);  // the stored body now carries the long name too
  ASSERT_TRUE(SaveProgramFile(plug, Path("one.fxp")));
  ASSERT_TRUE(SaveBankFile(plug, Path("all.FXB")));
  std::filesystem::copy_file(Path("one.fxp"), Path("two.FXP"));  // a distinct name: Windows ignores case
  std::filesystem::copy_file(Path("one.fxp"), Path("one.txt"));
  std::filesystem::create_directories(Path("dir.fxp"));
  std::filesystem::copy_file(Path("one.fxp"), Path("dir.fxp/plain"));

  std::vector<BrowsedProgram> list;
  ASSERT_TRUE(ListFilePrograms(Path("one.fxp"), kFormat, list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].name, std::string(27, 'n'));
  EXPECT_TRUE(ListFilePrograms(Path("two.FXP"), kFormat, list));
  EXPECT_FALSE(ListFilePrograms(Path("one.txt"), kFormat, list));
  EXPECT_FALSE(ListFilePrograms(Path("dir.fxp/plain"), kFormat, list));  // the point is in a folder name
  EXPECT_TRUE(list.empty());

  ASSERT_TRUE(ListFilePrograms(Path("all.FXB"), kFormat, list));
  ASSERT_EQ(list.size(), 64u);
  EXPECT_EQ(list[3].name, longName);
  // The copied body carries its name cut to 63 characters.
  std::string bodyName;
  list[3].state.GetText(&bodyName, 16);
  EXPECT_EQ(bodyName.size(), 63u);
}

TEST_F(ProgramListTest, IncompleteOrForeignFilesListNothing) {
  Tesvar& plug = Make();
  ASSERT_TRUE(SaveBankFile(plug, Path("all.fxb")));
  const std::string bank = ReadFile(Path("all.fxb"));
  std::vector<BrowsedProgram> list;
  WriteFile(Path("cut.fxb"), bank.substr(0, bank.size() - 20));  // the last body is cut short
  EXPECT_FALSE(ListFilePrograms(Path("cut.fxb"), kFormat, list));
  std::string foreign = bank;
  foreign.replace(16, 4, "abcd");
  WriteFile(Path("foreign.fxb"), foreign);
  EXPECT_FALSE(ListFilePrograms(Path("foreign.fxb"), kFormat, list));

  files_test::FxWriter floats;
  floats.Program("Floats", std::vector<float>(51, 0.5f));
  WriteFile(Path("floats.fxp"), floats.bytes);
  EXPECT_FALSE(ListFilePrograms(Path("floats.fxp"), kFormat, list));
  // Bodies of another product are not listed.
  const BodyFormat other{"Other_1.0.0.", kParamCount};
  EXPECT_FALSE(ListFilePrograms(Path("all.fxb"), other, list));
  EXPECT_FALSE(ListFilePrograms(Path("missing.fxb"), kFormat, list));
}

}  // namespace
