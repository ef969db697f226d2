// Program slots, selection, storing and the bank body, on a small plug-in of three
// parameters with the core's default state body.
#include <gtest/gtest.h>

#include "core/IPlugBase.h"

namespace {

class SmallPlug : public IPlugBase {
 public:
  SmallPlug() : IPlugBase(3, "1-0 0-2", 8, "Small", "", "Us", 0x00010203, 0x736D6C6C, true, true) {
    GetParam(0)->InitContinuous("a", 0.5, 0, 1, 0.01, 1);
    GetParam(1)->InitInteger("b", 2, 0, 7);
    GetParam(2)->InitContinuous("c", -1, -2, 2, 0.1, 1);
  }
  void ParameterChanged(int index) override { ++changes; }
  int changes = 0;
};

TEST(ProgramStoreTest, ConstructionGivesChannelsAndEmptySlots) {
  SmallPlug plug;
  EXPECT_EQ(plug.InputCount(), 1);
  EXPECT_EQ(plug.OutputCount(), 2);
  EXPECT_TRUE(plug.LegalIO(1));
  EXPECT_FALSE(plug.LegalIO(2));
  EXPECT_EQ(plug.DecimalVersion(), 10203);
  EXPECT_EQ(plug.ProgramName(0), "empty");
  EXPECT_EQ(plug.ProgramName(8), "");
  EXPECT_EQ(plug.ProgramName(-1), "");
  plug.MakeDefaultPrograms();
  EXPECT_EQ(plug.ProgramName(7), "Empty");
  EXPECT_TRUE(plug.GetProgram(7)->initialised);
}

TEST(ProgramStoreTest, SelectingAFreshSlotNamesItAfterTheUserPresetsSoFar) {
  SmallPlug plug;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(plug.SelectPreset(i));
  }
  EXPECT_EQ(plug.ProgramName(0), "user preset 1");
  EXPECT_EQ(plug.ProgramName(2), "user preset 3");
  plug.GetParam(0)->SetPlain(0.25);
  EXPECT_TRUE(plug.SelectPreset(5));
  EXPECT_EQ(plug.ProgramName(5), "user preset 4");
  EXPECT_EQ(plug.CurrentProgram(), 5);
  EXPECT_FALSE(plug.SelectPreset(8));
  EXPECT_FALSE(plug.SelectPreset(-1));
  EXPECT_EQ(plug.CurrentProgram(), 5);
}

TEST(ProgramStoreTest, ProgramsKeepTheirValuesAcrossSwitches) {
  SmallPlug plug;
  plug.MakeDefaultPrograms();
  plug.GetParam(1)->SetPlain(5);
  plug.ModifyCurrentPreset("five");
  ASSERT_TRUE(plug.SelectPreset(1));
  EXPECT_EQ(plug.GetParam(1)->Value(), 2);
  ASSERT_TRUE(plug.SelectPreset(0));
  EXPECT_EQ(plug.GetParam(1)->Value(), 5);
  EXPECT_EQ(plug.ProgramName(0), "five");
  plug.ModifyCurrentPreset("");  // an empty name keeps the old one
  EXPECT_EQ(plug.ProgramName(0), "five");
  plug.ModifyCurrentPreset(std::string(400, 'z').c_str());
  EXPECT_EQ(plug.ProgramName(0).size(), 255u);
}

TEST(ProgramStoreTest, BankBodyRoundTripsAndTruncationKeepsLaterSlots) {
  SmallPlug source;
  source.MakeDefaultPrograms();
  for (int i = 0; i < 8; ++i) {
    source.SelectPreset(i);
    source.GetParam(2)->SetPlain(i * 0.5 - 2);
    source.ModifyCurrentPreset(("p" + std::to_string(i)).c_str());
  }
  ChunkBuffer bank;
  ASSERT_TRUE(source.SerializePresets(bank));

  SmallPlug target;
  target.MakeDefaultPrograms();
  EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(target.ProgramName(i), "p" + std::to_string(i));
    target.SelectPreset(i);
    EXPECT_DOUBLE_EQ(target.GetParam(2)->Value(), i * 0.5 - 2);
  }

  // Cut inside the fourth slot's body: three slots are restored, the fourth and the rest
  // keep their contents, name included (it must not name a sound it does not hold).
  SmallPlug partial;
  partial.MakeDefaultPrograms();
  const int slotSize = 4 + 2 + 1 + 3 * 8;
  ChunkBuffer cut;
  cut.Assign(bank.Data(), 3 * slotSize + 10);
  EXPECT_EQ(partial.UnserializePresets(cut, 0), -1);
  EXPECT_EQ(partial.ProgramName(2), "p2");
  EXPECT_EQ(partial.ProgramName(3), "Empty");
  EXPECT_EQ(partial.ProgramName(4), "Empty");
}

TEST(ProgramStoreTest, DefaultStateBodyClampsAndStopsAtTheFirstMissingValue) {
  SmallPlug plug;
  ChunkBuffer body;
  body.PutDouble(9.0);  // above the range of a
  body.PutDouble(3.0);
  plug.GetParam(2)->SetPlain(1.5);
  plug.changes = 0;
  EXPECT_EQ(plug.UnserializeParams(body, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 3.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.0);  // missing: 0, clamped into -2 .. 2
  EXPECT_EQ(plug.changes, 3);
  double values[3] = {1.0, 3.0, 0.0};
  EXPECT_TRUE(plug.StateMatches(values));
  values[1] = 3.001;
  EXPECT_FALSE(plug.StateMatches(values));
}

TEST(ProgramStoreTest, BlockSizeSizesScratchAndRefusesNonsense) {
  SmallPlug plug;
  plug.ChangeBlockSize(64);
  EXPECT_EQ(plug.BlockSize(), 64);
  EXPECT_EQ(plug.Output(1).scratch.size(), 64u);
  plug.ChangeBlockSize(0);
  plug.ChangeBlockSize(-3);
  EXPECT_EQ(plug.BlockSize(), 64);
}

}  // namespace
