// The bank-table reader refuses malformed tables with a message that names the cell, and
// the generator turns a good table into the image the reader's values describe.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/BankImage.h"
#include "resources/BankTable.h"
#include "tests/resources/FxbReader.h"

namespace resources {
namespace {

BankTable DefaultTable() {
  BankTable table;
  for (std::size_t i = 0; i < kBankProgramCount; ++i) {
    BankProgram program;
    program.name = "Program " + std::to_string(i);
    for (std::size_t p = 0; p < kParameterCount; ++p) {
      program.values[p] = kParameterInfo[p].defaultValue;
    }
    table.programs.push_back(program);
  }
  table.programs[5].values[16] = 12.5;
  table.programs[5].values[9] = 2;  // "PWM"
  table.programs[7].chord = {4, 7, 11};
  return table;
}

// The table's text with one line replaced: line 0 is the header, line n + 1 program n.
std::string Edit(std::size_t lineIndex, const std::string& from, const std::string& to) {
  std::string text = FormatBankTable(DefaultTable());
  std::size_t start = 0;
  for (std::size_t i = 0; i < lineIndex; ++i) start = text.find('\n', start) + 1;
  const std::size_t at = text.find(from, start);
  EXPECT_LT(at, text.find('\n', start)) << "edit target not on line " << lineIndex;
  text.replace(at, from.size(), to);
  return text;
}

std::string Refusal(const std::string& text) {
  BankTable table;
  std::string error;
  EXPECT_FALSE(ParseBankTable(text, table, error)) << "accepted a malformed table";
  return error;
}

TEST(BankTable, ReadsWhatItWritesWithCommentsAndBlankLines) {
  const BankTable original = DefaultTable();
  const std::string text = "# a comment\n\n" + FormatBankTable(original);
  BankTable table;
  std::string error;
  ASSERT_TRUE(ParseBankTable(text, table, error)) << error;
  ASSERT_EQ(table.programs.size(), 64u);
  for (std::size_t i = 0; i < 64; ++i) {
    EXPECT_EQ(table.programs[i].name, original.programs[i].name);
    EXPECT_EQ(table.programs[i].values, original.programs[i].values);
    EXPECT_EQ(table.programs[i].chord, original.programs[i].chord);
  }
}

TEST(BankTable, AcceptsRowsWithoutTheChordCellAndWindowsLineEnds) {
  std::string text = FormatBankTable(DefaultTable());
  std::string stripped;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\t') line.pop_back();  // empty chord left off
    stripped += line + "\r\n";
    pos = end + 1;
  }
  BankTable table;
  std::string error;
  EXPECT_TRUE(ParseBankTable(stripped, table, error)) << error;
}

TEST(BankTable, RefusalsNameTheRowAndColumn) {
  struct Case {
    std::string text;
    std::string expected[3];
  };
  const std::string longName(256, 'x');
  std::string sixtyFourOffsets;
  for (int i = 0; i < 64; ++i) sixtyFourOffsets += "1 ";
  const Case cases[] = {
      {Edit(0, "VCF Cutoff", "Cutoff"), {"column 19", "unknown column \"Cutoff\"", "VCF Cutoff"}},
      {Edit(0, "\tchord", ""), {"header has 53 columns", "54", ""}},
      {Edit(6, "\t12.5\t", "\t63.5\t"), {"program 5", "column 19 \"VCF Cutoff\"", "outside 0 to 63"}},
      {Edit(4, "Program 3\t0.5\t", "Program 3\t0.5\t0\t"), {"program 3", "55 cells", ""}},
      {Edit(3, "\t2\t5.6", "\t2.5\t5.6"), {"program 2", "\"Bend\"", "not a whole number"}},
      {Edit(3, "\t2\t5.6", "\tlots\t5.6"), {"program 2", "\"Bend\"", "not a number"}},
      {Edit(6, "PWM", "Square"), {"program 5", "\"DCO1 Waveform\"", "\"Sawtooth\" \"PW\" \"PWM\""}},
      {Edit(8, "4 7 11", "4 x 11"), {"program 7", "\"chord\"", "\"x\""}},
      {Edit(8, "4 7 11", "4 7 200"), {"program 7", "\"chord\"", "outside -127 to 127"}},
      {Edit(8, "4 7 11", sixtyFourOffsets), {"program 7", "more than 63 entries", ""}},
      {Edit(2, "Program 1", longName), {"program 1", "\"name\"", "has 256"}},
      {Edit(2, "Program 1", ""), {"program 1", "\"name\"", "has 0"}},
      {Edit(3, "2\tProgram 2", "3\tProgram 2"), {"program 2", "\"program\"", "program number 2"}},
  };
  for (const Case& c : cases) {
    const std::string error = Refusal(c.text);
    for (const std::string& part : c.expected) {
      EXPECT_NE(error.find(part), std::string::npos) << "\"" << part << "\" missing in: " << error;
    }
  }
}

TEST(BankTable, RefusesAWrongNumberOfPrograms) {
  std::string text = FormatBankTable(DefaultTable());
  const std::string lastRow = text.substr(text.rfind('\n', text.size() - 2) + 1);
  EXPECT_NE(Refusal(text.substr(0, text.size() - lastRow.size())).find("63 programs"), std::string::npos);
  EXPECT_NE(Refusal(text + lastRow).find("more than 64"), std::string::npos);
  EXPECT_NE(Refusal("# only comments\n").find("no header"), std::string::npos);
}

TEST(BankTable, NameOf255CharactersIsAccepted) {
  BankTable table;
  std::string error;
  EXPECT_TRUE(ParseBankTable(Edit(2, "Program 1", std::string(255, 'n')), table, error)) << error;
}

TEST(BankImage, StateBodyHoldsIndexNameValuesAndChord) {
  BankProgram program = DefaultTable().programs[7];
  const auto body = WriteStateBody(7, program);
  ASSERT_EQ(body.size(), 432 + program.name.size() + 4 * 3);
  // The last three entries, little-endian signed 32-bit.
  EXPECT_EQ(body[body.size() - 4], 11);
  EXPECT_EQ(body[body.size() - 8], 7);
  EXPECT_EQ(body[body.size() - 12], 4);
  EXPECT_EQ(body[body.size() - 16], 3);  // count
  EXPECT_EQ(std::string(body.begin(), body.begin() + 12), "Tesvar_1.0.0");
  EXPECT_EQ(body[12], 7);  // program index
}

#ifdef TESVAR_MAKE_BANK
std::string TempPath(const char* leaf) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/tesvar_bank_test_" + leaf;
}

void WriteText(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

TEST(MakeBankTool, WritesTheImageForAGoodTableAndNothingForABadOne) {
  const std::string table = TempPath("table.tsv"), fxb = TempPath("out.fxb");
  std::remove(fxb.c_str());
  WriteText(table, Edit(6, "\t12.5\t", "\t99\t"));
  const std::string command =
      std::string(TESVAR_MAKE_BANK) + " " + table + " --fxb " + fxb + " --plugin-version 900 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
  EXPECT_EQ(std::fopen(fxb.c_str(), "rb"), nullptr) << "a refused table left a file";

  WriteText(table, FormatBankTable(DefaultTable()));
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::FILE* file = std::fopen(fxb.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::vector<std::uint8_t> bytes;
  for (int c = 0; (c = std::fgetc(file)) != EOF;) bytes.push_back(std::uint8_t(c));
  std::fclose(file);
  EXPECT_EQ(bytes, WriteBankImage(DefaultTable(), 900));
  test::FxbImage image;
  test::FxbReader reader(bytes);
  ASSERT_TRUE(reader.Read(image)) << reader.error();
  EXPECT_EQ(image.pluginVersion, 900u);
  EXPECT_EQ(image.slots[5].values[16], 12.5);
  std::remove(table.c_str());
  std::remove(fxb.c_str());
}
#endif

}  // namespace
}  // namespace resources
