// Program and bank files: the layouts as written, both accepted kinds of each, the
// refusals, and saved files loading back bit-exactly.
#include "core/ProgramFiles.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "core/FileBytes.h"
#include "tests/core/FilesTestSupport.h"

namespace {

using files_test::FxWriter;
using files_test::WordAt;

class ProgramFilesTest : public files_test::FilesTest {};

const char kLongName[] = "A Name Longer Than Twenty-Seven Characters";

TEST_F(ProgramFilesTest, ProgramFileLayout) {
  Tesvar& plug = Make();
  plug.SelectPreset(2);
  plug.ModifyCurrentPreset(kLongName);
  const std::string path = Path("one.fxp");
  ASSERT_TRUE(SaveProgramFile(plug, path));
  const std::string f = ReadFile(path);
  ChunkBuffer body;
  plug.WriteState(body);
  ASSERT_EQ(f.size(), 68u + static_cast<std::size_t>(body.Size()));
  EXPECT_EQ(f.substr(0, 4), "CcnK");
  EXPECT_EQ(WordAt(f, 4), f.size() - 8);
  EXPECT_EQ(f.substr(8, 4), "FPCh");
  EXPECT_EQ(WordAt(f, 12), 1u);
  EXPECT_EQ(f.substr(16, 4), "tsvr");
  EXPECT_EQ(WordAt(f, 20), 10001u);
  EXPECT_EQ(WordAt(f, 24), 51u);
  EXPECT_EQ(f.substr(28, 28), std::string(kLongName, 27) + '\0');
  EXPECT_EQ(WordAt(f, 56), f.size() - 60);
  EXPECT_EQ(f.substr(60, 8), std::string("tffp\0\0\1\0", 8));
  EXPECT_EQ(f.substr(68), std::string(reinterpret_cast<const char*>(body.Data()), body.Size()));
}

TEST_F(ProgramFilesTest, BankFileLayout) {
  Tesvar& plug = Make();
  plug.SelectPreset(9);
  const std::string path = Path("all.fxb");
  ASSERT_TRUE(SaveBankFile(plug, path));
  const std::string f = ReadFile(path);
  const std::string body = Bank(plug);
  ASSERT_EQ(f.size(), 160u + 8u + body.size());
  EXPECT_EQ(f.substr(0, 4), "CcnK");
  EXPECT_EQ(WordAt(f, 4), f.size() - 8);
  EXPECT_EQ(f.substr(8, 4), "FBCh");
  EXPECT_EQ(WordAt(f, 12), 2u);
  EXPECT_EQ(f.substr(16, 4), "tsvr");
  EXPECT_EQ(WordAt(f, 20), 10001u);
  EXPECT_EQ(WordAt(f, 24), 64u);
  EXPECT_EQ(WordAt(f, 28), 9u);
  EXPECT_EQ(f.substr(32, 124), std::string(124, '\0'));
  EXPECT_EQ(WordAt(f, 156), f.size() - 160);
  EXPECT_EQ(f.substr(160, 8), std::string("tffp\0\0\1\0", 8));
  EXPECT_EQ(f.substr(168), body);
}

TEST_F(ProgramFilesTest, SavedProgramLoadsBackBitExactly) {
  Tesvar& source = Make();
  source.SelectPreset(2);
  // Values that no decimal text or float would carry exactly.
  for (int i = 0; i < kParamCount; ++i) {
    ParamRecord* p = source.GetParam(i);
    p->SetPlain(p->Min() + (p->Max() - p->Min()) * (0.1234567890123 + i / 97.0));
  }
  const int chord[] = {0, 4, 7, 11};
  source.SetChordMemory(chord, 4);
  source.ModifyCurrentPreset("Exactly Twenty-Seven Chars!");
  const std::vector<double> saved = Values(source);
  const std::string path = Path("exact.fxp");
  ASSERT_TRUE(SaveProgramFile(source, path));

  Tesvar& target = Make();
  target.SelectPreset(7);
  shell_test::Recorded().Clear();
  ASSERT_TRUE(LoadProgramFile(target, path));
  EXPECT_EQ(Values(target), saved);
  EXPECT_EQ(target.CurrentProgram(), 7);
  EXPECT_EQ(target.ProgramName(7), "Exactly Twenty-Seven Chars!");
  ASSERT_EQ(target.ChordNoteCount(), 4);
  EXPECT_EQ(target.ChordNote(3), 11);
  EXPECT_EQ(shell_test::Recorded().Count(vst::audioMasterUpdateDisplay), 1);
  // Stored into the program, not only applied.
  target.SelectPreset(0);
  target.SelectPreset(7);
  EXPECT_EQ(Values(target), saved);
}

TEST_F(ProgramFilesTest, SavedBankLoadsBackBitExactly) {
  Tesvar& source = Make();
  for (int slot : {0, 5, 63}) {
    source.SelectPreset(slot);
    for (int i = 0; i < kParamCount; ++i) {
      ParamRecord* p = source.GetParam(i);
      p->SetPlain(p->Min() + (p->Max() - p->Min()) * std::fmod(0.37 * (slot + 1) + i / 51.3, 1.0));
    }
    source.ModifyCurrentPreset(("Slot " + std::to_string(slot)).c_str());
  }
  source.SelectPreset(5);
  const std::string path = Path("banks/round.fxb");
  std::filesystem::create_directories(Path("banks"));
  ASSERT_TRUE(SaveBankFile(source, path));

  Tesvar& target = Make();
  ASSERT_TRUE(LoadBankFile(target, path));
  EXPECT_EQ(target.CurrentProgram(), 0);  // a chunk bank keeps the current program
  for (int slot = 0; slot < 64; ++slot) {
    EXPECT_EQ(target.ProgramName(slot), source.ProgramName(slot));
    source.SelectPreset(slot);
    target.SelectPreset(slot);
    EXPECT_EQ(Values(target), Values(source)) << "slot " << slot;
  }
}

TEST_F(ProgramFilesTest, ASavedBankHoldsTheCurrentProgramsUnstoredEdits) {
  // Regression: the bank was written from the stored programs only, so the edits made to
  // the current program since it was selected were lost from the file.
  Tesvar& source = Make();
  source.SelectPreset(3);
  source.GetParam(kVcfCutoff)->SetPlain(12.25);
  const std::string path = Path("edits.fxb");
  ASSERT_TRUE(SaveBankFile(source, path));
  Tesvar& target = Make();
  ASSERT_TRUE(LoadBankFile(target, path));
  target.SelectPreset(3);
  EXPECT_EQ(target.GetParam(kVcfCutoff)->Value(), 12.25);
}

TEST_F(ProgramFilesTest, ParameterFormProgramSnapsAndSkipsValuesThatAreNotNumbers) {
  Tesvar& plug = Make();
  const std::vector<double> before = Values(plug);
  std::vector<float> floats;
  for (int i = 0; i < kParamCount; ++i) floats.push_back(static_cast<float>((i + 0.37) / 51.0));
  floats[3] = std::numeric_limits<float>::quiet_NaN();
  floats[4] = std::numeric_limits<float>::infinity();
  FxWriter file;
  file.Program("From Elsewhere", floats);
  WriteFile(Path("floats.fxp"), file.bytes);
  ASSERT_TRUE(LoadProgramFile(plug, Path("floats.fxp")));
  EXPECT_EQ(plug.ProgramName(0), "From Elsewhere");
  for (int i = 0; i < kParamCount; ++i) {
    const ParamRecord* p = plug.GetParam(i);
    if (i == 3 || i == 4) {
      EXPECT_EQ(p->Value(), before[i]) << i;
      continue;
    }
    EXPECT_NEAR(p->Normalised(), floats[i], p->Kind() == ParamKind::kContinuous ? 1e-6 : 0.5 / (p->Max() - p->Min()))
        << i;
    if (p->Kind() != ParamKind::kContinuous) {
      EXPECT_EQ(p->Value(), std::round(p->Value())) << i;
    }
  }

  // Floats that are not there leave their parameters alone.
  const std::vector<double> full = Values(plug);
  FxWriter cut;
  cut.Program("", std::vector<float>(10, 0.0f));
  WriteFile(Path("cut.fxp"), cut.bytes);
  ASSERT_TRUE(LoadProgramFile(plug, Path("cut.fxp")));
  EXPECT_EQ(plug.ProgramName(0), "From Elsewhere");  // an empty name keeps the program's
  for (int i = 10; i < kParamCount; ++i) EXPECT_EQ(plug.GetParam(i)->Value(), full[i]) << i;
}

TEST_F(ProgramFilesTest, ParameterFormBank) {
  Tesvar& plug = Make();
  FxWriter bank;
  bank.Code("CcnK").Word(0).Code("FxBk").Word(1).Code("tsvr").Word(1).Word(3).Word(1);
  bank.bytes.append(124, '\0');
  for (int p = 0; p < 3; ++p) bank.Program("Bank " + std::to_string(p), std::vector<float>(51, p / 2.0f));
  WriteFile(Path("params.fxb"), bank.bytes);
  const std::string sixth = plug.ProgramName(3);
  ASSERT_TRUE(LoadBankFile(plug, Path("params.fxb")));
  EXPECT_EQ(plug.CurrentProgram(), 1);
  EXPECT_NEAR(plug.GetParam(kVcfCutoff)->Normalised(), 0.5, 1e-9);
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(plug.ProgramName(p), "Bank " + std::to_string(p));
    plug.SelectPreset(p);
    EXPECT_NEAR(plug.GetParam(kVolume)->Normalised(), p / 2.0, 1e-9);
  }
  EXPECT_EQ(plug.ProgramName(3), sixth);
}

// The count in the header is the file's claim: records that are not all there, or have no
// slot, must not be read. A file that ends before its count is a failed load (regression:
// it used to answer true, so the menus never said the bank was damaged).
TEST_F(ProgramFilesTest, ParameterFormBankCountsBeyondTheDataOrTheSlots) {
  for (std::uint32_t claimed : {64u, 70u, 0xFFFFFFFFu}) {
    Tesvar& plug = Make();
    const std::string untouched = plug.ProgramName(2);
    FxWriter bank;
    bank.Code("CcnK").Word(0).Code("FxBk").Word(1).Code("tsvr").Word(1).Word(claimed).Word(0);
    bank.bytes.append(124, '\0');
    bank.Program("Zero", std::vector<float>(51, 0.25f)).Program("One", std::vector<float>(51, 0.75f));
    bank.bytes.append(bank.bytes.substr(156, 100));  // a third record, cut short
    WriteFile(Path("short.fxb"), bank.bytes);
    EXPECT_FALSE(LoadBankFile(plug, Path("short.fxb"))) << claimed;
    EXPECT_EQ(plug.ProgramName(0), "Zero");
    EXPECT_EQ(plug.ProgramName(1), "One");
    EXPECT_EQ(plug.ProgramName(2), untouched);  // nothing of the cut record
    EXPECT_EQ(plug.CurrentProgram(), 1);
    EXPECT_NEAR(plug.GetParam(kVolume)->Normalised(), 0.75, 1e-9);
  }
  // 70 complete records: the first 64 fill the slots, the rest are skipped.
  Tesvar& plug = Make();
  FxWriter bank;
  bank.Code("CcnK").Word(0).Code("FxBk").Word(1).Code("tsvr").Word(1).Word(70).Word(63);
  bank.bytes.append(124, '\0');
  for (int p = 0; p < 70; ++p) bank.Program("P" + std::to_string(p), std::vector<float>(51, 0.5f));
  WriteFile(Path("long.fxb"), bank.bytes);
  ASSERT_TRUE(LoadBankFile(plug, Path("long.fxb")));
  EXPECT_EQ(plug.ProgramName(63), "P63");
  EXPECT_EQ(plug.CurrentProgram(), 63);
}

TEST_F(ProgramFilesTest, ARejectedBankRecordStopsTheLoadAfterTheRecordsBeforeIt) {
  Tesvar& plug = Make();
  const std::string second = plug.ProgramName(1);
  FxWriter bank;
  bank.Code("CcnK").Word(0).Code("FxBk").Word(1).Code("tsvr").Word(1).Word(3).Word(0);
  bank.bytes.append(124, '\0');
  bank.Program("Good", std::vector<float>(51, 0.5f));
  bank.Program("Bad", std::vector<float>(51, 0.5f), "FxCk", 1, 50);
  bank.Program("Never", std::vector<float>(51, 0.5f));
  WriteFile(Path("bad.fxb"), bank.bytes);
  EXPECT_FALSE(LoadBankFile(plug, Path("bad.fxb")));
  EXPECT_EQ(plug.ProgramName(0), "Good");
  EXPECT_EQ(plug.ProgramName(1), second);
  EXPECT_EQ(plug.ProgramName(2), "Synthe Clav 16'");
}

TEST_F(ProgramFilesTest, RefusedFilesChangeNothing) {
  Tesvar& plug = Make();
  ASSERT_TRUE(SaveProgramFile(plug, Path("good.fxp")));
  ASSERT_TRUE(SaveBankFile(plug, Path("good.fxb")));
  const std::string program = ReadFile(Path("good.fxp"));
  const std::string bank = ReadFile(Path("good.fxb"));
  plug.SetParamFromEditor(kVcfCutoff, 0.1);
  const std::vector<double> values = Values(plug);
  const std::string slots = Bank(plug);

  auto patched = [](std::string bytes, std::size_t at, const char* with) {
    bytes.replace(at, 4, with, 4);
    return bytes;
  };
  const std::vector<std::pair<std::string, std::string>> programs = {
      {"magic", patched(program, 0, "CcnX")},    {"version", patched(program, 12, std::string("\0\0\0\2", 4).c_str())},
      {"plug-in", patched(program, 16, "abcd")}, {"kind", patched(program, 8, "FPXX")},
      {"short", program.substr(0, 10)},          {"empty", std::string()}};
  for (const auto& [what, bytes] : programs) {
    WriteFile(Path("bad.fxp"), bytes);
    EXPECT_FALSE(LoadProgramFile(plug, Path("bad.fxp"))) << what;
  }
  const std::vector<std::pair<std::string, std::string>> banks = {
      {"magic", patched(bank, 0, "KnnC")}, {"plug-in", patched(bank, 16, "tsvx")}, {"kind", patched(bank, 8, "FBXX")}};
  for (const auto& [what, bytes] : banks) {
    WriteFile(Path("bad.fxb"), bytes);
    EXPECT_FALSE(LoadBankFile(plug, Path("bad.fxb"))) << what;
  }
  EXPECT_FALSE(LoadProgramFile(plug, ""));
  EXPECT_FALSE(LoadProgramFile(plug, Path("missing.fxp")));
  EXPECT_FALSE(LoadBankFile(plug, Path("missing.fxb")));
  EXPECT_FALSE(LoadBankFile(plug, Path("")));  // a folder
  EXPECT_EQ(Values(plug), values);
  EXPECT_EQ(Bank(plug), slots);

  EXPECT_FALSE(SaveProgramFile(plug, ""));
  EXPECT_FALSE(SaveBankFile(plug, Path("no/such/folder/x.fxb")));
  // A bank's format version is not checked.
  WriteFile(Path("v7.fxb"), patched(bank, 12, std::string("\0\0\0\7", 4).c_str()));
  EXPECT_TRUE(LoadBankFile(plug, Path("v7.fxb")));
}

// Regression: a program file whose body the product refuses (another product's tag, or a
// body cut short) used to answer true, rename the current program and, when cut, leave
// half its values applied.
TEST_F(ProgramFilesTest, ARefusedOrCutProgramBodyChangesNeitherValuesNorName) {
  Tesvar& source = Make();
  source.SetParamFromEditor(kVcfCutoff, 0.9);
  source.SetParamFromEditor(kVolume, 0.1);
  ASSERT_TRUE(SaveProgramFile(source, Path("p.fxp")));
  std::string bytes = ReadFile(Path("p.fxp"));
  bytes.replace(28, 28, std::string("Other Brass") + std::string(17, '\0'));
  std::string foreign = bytes;
  foreign[68 + 11] = '1';  // "Tesvar_1.0.1"
  // Cut after the first two values of the body (tag, index, name, then the doubles).
  std::int32_t nameLength = 0;
  std::memcpy(&nameLength, bytes.data() + 68 + 12 + 4, 4);
  const std::string cut = bytes.substr(0, 68 + 12 + 4 + 4 + static_cast<std::size_t>(nameLength) + 2 * 8 + 3);

  Tesvar& plug = Make();
  plug.SetParamFromEditor(kVcfCutoff, 0.3);
  const std::vector<double> values = Values(plug);
  const std::string name = plug.ProgramName(0);
  for (const auto& [what, file] : {std::pair{"foreign", foreign}, std::pair{"cut", cut}}) {
    WriteFile(Path("bad.fxp"), file);
    EXPECT_FALSE(LoadProgramFile(plug, Path("bad.fxp"))) << what;
    EXPECT_EQ(Values(plug), values) << what;
    EXPECT_EQ(plug.ProgramName(0), name) << what;
  }
  // The whole file still loads.
  WriteFile(Path("good.fxp"), bytes);
  EXPECT_TRUE(LoadProgramFile(plug, Path("good.fxp")));
  EXPECT_EQ(plug.ProgramName(0), "Other Brass");
  EXPECT_EQ(plug.GetParam(kVolume)->Value(), source.GetParam(kVolume)->Value());
}

// Regression: a chunk-form bank cut inside its bank body used to answer true.
TEST_F(ProgramFilesTest, ACutChunkBankLoadsTheProgramsBeforeTheCutAndAnswersFalse) {
  Tesvar& source = Make();
  for (int p = 0; p < 64; ++p) {
    source.SelectPreset(p);
    source.ModifyCurrentPreset(("cut " + std::to_string(p)).c_str());
  }
  ASSERT_TRUE(SaveBankFile(source, Path("b.fxb")));
  const std::string bank = ReadFile(Path("b.fxb"));
  WriteFile(Path("cut.fxb"), bank.substr(0, bank.size() / 2));
  Tesvar& plug = Make();
  const std::string last = plug.ProgramName(63);
  EXPECT_FALSE(LoadBankFile(plug, Path("cut.fxb")));
  EXPECT_EQ(plug.ProgramName(0), "cut 0");
  EXPECT_EQ(plug.ProgramName(63), last);
}

TEST_F(ProgramFilesTest, WholeFileReadsRefuseOversizedFiles) {
  WriteFile(Path("hundred"), std::string(100, 'x'));
  ChunkBuffer bytes;
  EXPECT_TRUE(ReadWholeFile(Path("hundred"), bytes, 100));
  EXPECT_EQ(bytes.Size(), 100);
  EXPECT_FALSE(ReadWholeFile(Path("hundred"), bytes, 99));
  EXPECT_TRUE(bytes.Empty());
  WriteFile(Path("big"), std::string(200000, 'y'));  // several read pieces
  EXPECT_TRUE(ReadWholeFile(Path("big"), bytes));
  EXPECT_EQ(bytes.Size(), 200000);
}

}  // namespace
