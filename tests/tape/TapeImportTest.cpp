// The import into a live product instance: programs replaced all at once or not at all.
#include "tape/TapeImport.h"

#include <gtest/gtest.h>

#include "TapeTestSupport.h"
#include "engine/ParameterTable.h"
#include "engine/Tesvar.h"

namespace {

using tape::TapeStatus;

struct Instance {
  Tesvar plug{nullptr};
  int configurationWrites = 0;
  tape::TapeImportHooks hooks;

  Instance() {
    plug.MakeDefaultPrograms();
    hooks.initProgram = [this] { plug.InitProgram(); };
    hooks.writeConfiguration = [this] { ++configurationWrites; };
  }

  std::vector<std::uint8_t> Bank() {
    ChunkBuffer buffer;
    plug.SerializePresets(buffer);
    return std::vector<std::uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
  }

  tape::ProgramValues ValuesOf(int program) {
    platform::Guard guard(plug.Lock());
    plug.SelectPreset(program);
    tape::ProgramValues v{};
    for (int i = 0; i < kParamCount; ++i) v[std::size_t(i)] = plug.GetParam(i)->Value();
    return v;
  }
};

std::string WriteDump(const tape_test::TempFolder& folder, const std::vector<std::uint8_t>& block,
                      tape::WavLayout layout = {}, bool onRight = false) {
  const std::string path = folder.File("dump.wav");
  EXPECT_TRUE(tape_test::WriteDump(path, block, tape_test::Options(44100.0), layout, onRight));
  return path;
}

// The decoder's own copy of the ranges (used by the generator and the plain mapping)
// must not drift from the product's records.
TEST(TapeImport, ProductLimitsMatchTheParameterRecords) {
  Instance in;
  const auto& limits = tape::ProductParamLimits();
  for (int i = 0; i < kParamCount; ++i) {
    const ParamRecord* p = in.plug.GetParam(i);
    EXPECT_EQ(limits[std::size_t(i)].minimum, p->Min()) << i;
    EXPECT_EQ(limits[std::size_t(i)].maximum, p->Max()) << i;
    EXPECT_EQ(limits[std::size_t(i)].defaultValue, p->Default()) << i;
  }
}

TEST(TapeImport, EncodedBankComesBackAsTheSixtyFourPrograms) {
  tape_test::TempFolder folder;
  Instance in;
  {
    platform::Guard guard(in.plug.Lock());
    in.plug.SelectPreset(21);
    in.plug.GetParam(kVolume)->SetPlain(0.9);  // an edit of the current program
  }
  const tape::TapeData data = tape_test::InRangeData(99);
  TapeStatus status = TapeStatus::kCannotOpen;
  ASSERT_TRUE(tape::LoadTapeDump(in.plug, WriteDump(folder, tape::MakeTapeBlock(data)), {}, in.hooks, &status));
  EXPECT_EQ(status, TapeStatus::kOk);
  EXPECT_EQ(in.configurationWrites, 1);
  // The program that was current stays current and shows its new values.
  EXPECT_EQ(in.plug.CurrentProgram(), 21);
  const tape::TapeBank expected = tape::MapPrograms(data);
  EXPECT_EQ(in.plug.GetParam(kVolume)->Value(), 0.5);
  EXPECT_EQ(in.plug.GetParam(kVcfCutoff)->Value(), expected[21][kVcfCutoff]);
  for (int p = 0; p < tape::kTapeProgramCount; ++p) {
    EXPECT_EQ(in.plug.ProgramName(p), tape::TapeProgramName(p));
    EXPECT_EQ(in.ValuesOf(p), expected[std::size_t(p)]) << "program " << p;
  }
  // What the instance now holds encodes back to the same dump.
  tape::TapeBank held{};
  for (int p = 0; p < tape::kTapeProgramCount; ++p) held[std::size_t(p)] = in.ValuesOf(p);
  EXPECT_EQ(tape::BankToData(held), data);
}

TEST(TapeImport, EveryFailureLeavesProgramsCurrentProgramAndConfigurationAlone) {
  tape_test::TempFolder folder;
  const auto block = tape::MakeTapeBlock(tape_test::RandomData(8));
  auto badChecksum = block;
  badChecksum.back() ^= 0x80;
  auto no6 = block;
  no6.erase(no6.begin() + 1);
  const std::vector<std::uint8_t> truncated(block.begin(), block.begin() + 300);

  struct Case {
    const char* name;
    std::string path;
  };
  std::vector<Case> cases;
  auto add = [&](const char* name, const std::vector<std::uint8_t>& b, tape::WavLayout layout = {},
                 bool right = false) {
    const std::string path = folder.File(std::string(name) + ".wav");
    ASSERT_TRUE(tape_test::WriteDump(path, b, tape_test::Options(44100.0), layout, right));
    cases.push_back({name, path});
  };
  add("checksum", badChecksum);
  add("no6", no6);
  add("truncated", truncated);
  add("int32", block, {tape::WavFormat::kPcm32, 0, 1, false});
  add("threeChannels", block, {tape::WavFormat::kPcm16, 0, 3, false});
  add("silentLeft", block, {tape::WavFormat::kPcm16, 0, 2, false}, true);
  const std::string notRiff = folder.File("text.wav");
  ASSERT_TRUE(tape::WriteFileBytes(notRiff, std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}));
  cases.push_back({"notRiff", notRiff});
  cases.push_back({"missing", folder.File("absent.wav")});
  cases.push_back({"emptyPath", ""});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Instance in;
    {
      platform::Guard guard(in.plug.Lock());
      in.plug.SelectPreset(42);
    }
    const std::vector<std::uint8_t> before = in.Bank();
    TapeStatus status = TapeStatus::kOk;
    EXPECT_FALSE(tape::LoadTapeDump(in.plug, c.path, {}, in.hooks, &status));
    EXPECT_NE(status, TapeStatus::kOk);
    EXPECT_EQ(in.plug.CurrentProgram(), 42);
    EXPECT_EQ(in.Bank(), before);
    EXPECT_EQ(in.configurationWrites, 0);
  }
}

// Fields beyond their parameters' ranges (octave 3, waveform 3, interval 7, detune 8)
// reach the instance clamped, and ParameterChanged sees only in-range values.
TEST(TapeImport, OutOfRangeFieldsAreClampedToTheRecords) {
  Instance in;
  tape::TapeData data{};
  data.fill(0xFF);
  ASSERT_TRUE(tape::ApplyPrograms(in.plug, data, in.hooks));
  for (int p : {0, 33, 63}) {
    const tape::ProgramValues v = in.ValuesOf(p);
    for (int i = 0; i < kParamCount; ++i) {
      EXPECT_GE(v[std::size_t(i)], in.plug.GetParam(i)->Min()) << i;
      EXPECT_LE(v[std::size_t(i)], in.plug.GetParam(i)->Max()) << i;
    }
    EXPECT_EQ(v[kDco1Octave], 2);
    EXPECT_EQ(v[kDco2Waveform], 2);
    EXPECT_EQ(v[kDco2Interval], 4);
    EXPECT_EQ(v[kDco2Detune], 6);
  }
}

TEST(TapeImport, BareCoreWithoutHooksOrWithTooFewPrograms) {
  IPlugBase small(kParamCount, "1-0 0-2", 8, "Small", "", "", 1, 1, true, true);
  small.MakeDefaultPrograms();
  EXPECT_FALSE(tape::ApplyPrograms(small, tape_test::InRangeData(1), {}));
  EXPECT_EQ(small.ProgramName(0), "Empty");

  // Without an InitProgram hook the records' defaults and the hardware-style names are
  // used; the bare records range over 0..1, so every field is clamped into it.
  IPlugBase bare(kParamCount, "1-0 0-2", 64, "Bare", "", "", 1, 1, true, true);
  bare.MakeDefaultPrograms();
  tape::TapeData data{};
  data[8 * 5 + 2] = 0xFC;  // cutoff 63 in program 5
  ASSERT_TRUE(tape::ApplyPrograms(bare, data, {}));
  EXPECT_EQ(bare.ProgramName(5), "Program 1-6");
  platform::Guard guard(bare.Lock());
  bare.SelectPreset(5);
  EXPECT_EQ(bare.GetParam(kVcfCutoff)->Value(), bare.GetParam(kVcfCutoff)->Max());
}

}  // namespace
