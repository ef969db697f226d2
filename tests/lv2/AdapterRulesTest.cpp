// The LV2 adapter's rules on their own: which MIDI events pass, which chunks are whole, and
// the port symbols hosts store.
#include <gtest/gtest.h>

#include <set>

#include "core/ChunkBuffer.h"
#include "lv2/MidiBytes.h"
#include "lv2/PortLayout.h"
#include "lv2/StateChunks.h"
#include "resources/BankImage.h"

namespace {

TEST(Lv2MidiBytes, PassesWholeMessagesOnly) {
  const struct {
    std::vector<std::uint8_t> bytes;
    std::size_t passed;
  } cases[] = {
      {{0x90, 60, 100}, 3},
      {{0x80, 60, 0}, 3},
      {{0xB5, 7, 127}, 3},
      {{0xE0, 0, 64}, 3},
      {{0xC3, 12}, 2},
      {{0xD0, 99}, 2},
      {{0xF8}, 1},
      {{0xF2, 1, 2}, 3},
      {{0xF1, 5}, 2},
      {{0xF0, 1, 2, 0xF7}, 4},
      {{0xF0, 0xF7}, 2},
      {{}, 0},
      {{0x90, 60}, 0},
      {{0x90, 60, 100, 0}, 0},
      {{0xC0, 12, 0}, 0},
      {{60, 100}, 0},
      {{0x90, 0x80, 1}, 0},
      {{0xF0, 1, 2}, 0},
      {{0xF0, 0x90, 0xF7}, 0},
      {{0xF7}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(lv2::CheckedLength(c.bytes.data(), c.bytes.size()), c.passed);
  }
  const std::vector<std::uint8_t> huge(lv2::kMaxSysExBytes + 1, 0x10);
  std::vector<std::uint8_t> tooLong = huge;
  tooLong.front() = 0xF0;
  tooLong.back() = 0xF7;
  EXPECT_EQ(lv2::CheckedLength(tooLong.data(), tooLong.size()), 0u);
}

std::vector<std::uint8_t> Bytes(const ChunkBuffer& b) { return {b.Data(), b.Data() + b.Size()}; }

TEST(Lv2StateChunks, OnlyWholeChunksOfThisProductPass) {
  resources::BankProgram program;
  program.name = "Chord Keys";
  program.chord = {4, 7, 11};
  const std::vector<std::uint8_t> body = resources::WriteStateBody(0, program);
  ChunkBuffer bank;
  chunk_header::Write(bank);
  for (int i = 0; i < 64; ++i) {
    bank.PutText(i % 2 == 0 ? "Chord Keys" : "empty");
    const std::uint8_t flag = i % 2 == 0 ? 1 : 0;
    bank.PutBytes(&flag, 1);
    if (flag != 0) bank.PutBytes(body.data(), static_cast<int>(body.size()));
  }
  ChunkBuffer single;
  chunk_header::Write(single);
  single.PutBytes(body.data(), static_cast<int>(body.size()));
  single.PutText("Chord Keys");

  const std::vector<std::uint8_t> wholeBank = Bytes(bank);
  const std::vector<std::uint8_t> wholeProgram = Bytes(single);
  auto edited = [](std::vector<std::uint8_t> b, auto edit) {
    edit(b);
    return b;
  };
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool bank;
    bool whole;
  } cases[] = {
      {"bank", wholeBank, true, true},
      {"program", wholeProgram, false, true},
      {"bank cut by a byte", edited(wholeBank, [](auto& b) { b.pop_back(); }), true, false},
      {"bank with a byte after it", edited(wholeBank, [](auto& b) { b.push_back(0); }), true, false},
      {"bank with another tag", edited(wholeBank, [](auto& b) { b[8 + 4 + 10 + 1 + 11] ^= 1; }), true, false},
      {"bank without its header", edited(wholeBank, [](auto& b) { b[0] = 'x'; }), true, false},
      {"bank of an older chunk version", edited(wholeBank, [](auto& b) { b[6] = 0; }), true, false},
      {"bank whose name claims the rest",
       edited(wholeBank,
              [](auto& b) {
                b[8] = 0xFF;
                b[9] = 0xFF;
              }),
       true, false},
      {"program as a bank", wholeProgram, true, false},
      {"bank as a program", wholeBank, false, false},
      {"program cut in its name", edited(wholeProgram, [](auto& b) { b.pop_back(); }), false, false},
      {"program with a chord memory cut short", edited(wholeProgram, [](auto& b) { b.resize(b.size() - 18); }), false,
       false},
      {"only a header", {wholeBank.begin(), wholeBank.begin() + 8}, true, false},
      {"nothing", {}, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool whole = c.bank ? lv2::IsWholeBankChunk(c.bytes.data(), c.bytes.size())
                              : lv2::IsWholeProgramChunk(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(whole, c.whole);
  }
}

TEST(Lv2PortLayout, SymbolsAreUniqueIdentifiersAndNamesAreShown) {
  std::set<std::string> symbols = {"events_in", "events_out", "out_left", "out_right"};
  for (int i = 0; i < lv2ports::kParamCount; ++i) {
    const std::string symbol = lv2ports::ParamSymbol(i);
    SCOPED_TRACE(symbol);
    ASSERT_FALSE(symbol.empty());
    EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(symbol[0])));
    for (const char c : symbol) EXPECT_TRUE(std::islower(static_cast<unsigned char>(c)) || std::isdigit(c) || c == '_');
    EXPECT_TRUE(symbols.insert(symbol).second);
    EXPECT_EQ(lv2ports::ParamOfPort(lv2ports::PortOfParam(i)), i);
  }
  EXPECT_EQ(lv2ports::ParamSymbol(3), "mod_wheel_frequency");
  EXPECT_EQ(lv2ports::ParamSymbol(44), "reserved_1");
  EXPECT_EQ(lv2ports::ParamLabel(50), "Reserved 7");
  EXPECT_EQ(lv2ports::ParamOfPort(lv2ports::kAudioRight), -1);
  EXPECT_EQ(lv2ports::ParamOfPort(lv2ports::kPortCount), -1);
}

}  // namespace
