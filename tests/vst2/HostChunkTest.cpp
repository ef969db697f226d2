// State chunks through the dispatcher: bank and program chunks, foreign and damaged data,
// and the hosts that only ask for program chunks.
#include <cstring>
#include <vector>

#include "tests/vst2/HostTestSupport.h"

namespace {

std::vector<std::uint8_t> GetChunk(PluginHost& host, int index) {
  void* data = nullptr;
  const auto size = host.Dispatch(vst::effGetChunk, index, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

std::intptr_t SetChunk(PluginHost& host, int index, std::vector<std::uint8_t> bytes) {
  return host.Dispatch(vst::effSetChunk, index, static_cast<std::intptr_t>(bytes.size()), bytes.data());
}

// Gives every program a recognisable name and cutoff.
void MarkPrograms(PluginHost& host) {
  for (int p = 0; p < 64; ++p) {
    host.Dispatch(vst::effSetProgram, 0, p);
    host.SetParameter(16, p / 63.0f);
    const std::string name = "mark " + std::to_string(p);
    host.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
  }
  host.Dispatch(vst::effSetProgram, 0, 5);
}

TEST(HostChunkTest, BankChunkRestoresAllProgramsInAnotherInstance) {
  auto source = LoadPlugin();
  auto target = LoadPlugin();
  ASSERT_TRUE(source && target);
  MarkPrograms(*source);
  const auto bank = GetChunk(*source, 0);
  ASSERT_GT(bank.size(), 8u);
  EXPECT_EQ(std::memcmp(bank.data(), "tffp", 4), 0);
  EXPECT_EQ(SetChunk(*target, 0, bank), 1);
  for (int p = 0; p < 64; ++p) {
    char name[64] = {};
    target->Dispatch(vst::effGetProgramNameIndexed, p, 0, name);
    EXPECT_EQ(std::string(name), "mark " + std::to_string(p));
    target->Dispatch(vst::effSetProgram, 0, p);
    EXPECT_NEAR(target->GetParameter(16), p / 63.0f, 1e-6) << p;
  }
  // Saving again gives the same bytes.
  target->Dispatch(vst::effSetProgram, 0, 5);
  EXPECT_EQ(GetChunk(*target, 0), bank);
}

TEST(HostChunkTest, ProgramChunkRestoresOnlyTheCurrentProgram) {
  auto source = LoadPlugin();
  auto target = LoadPlugin();
  ASSERT_TRUE(source && target);
  source->SetParameter(17, 0.5f);
  source->Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("Chunky"));
  const auto program = GetChunk(*source, 1);
  ASSERT_FALSE(program.empty());

  target->Dispatch(vst::effSetProgram, 0, 9);
  char before[64] = {};
  target->Dispatch(vst::effGetProgramNameIndexed, 10, 0, before);
  EXPECT_EQ(SetChunk(*target, 1, program), 1);
  EXPECT_EQ(target->Dispatch(vst::effGetProgram), 9);
  EXPECT_EQ(target->Text(vst::effGetProgramName, 0), "Chunky");
  EXPECT_FLOAT_EQ(target->GetParameter(17), 0.5f);
  char after[64] = {};
  target->Dispatch(vst::effGetProgramNameIndexed, 10, 0, after);
  EXPECT_STREQ(before, after);
}

TEST(HostChunkTest, ForeignOrDamagedChunksAreRefused) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  host->SetParameter(17, 0.25f);
  auto program = GetChunk(*host, 1);
  ASSERT_GT(program.size(), 20u);
  auto foreign = program;
  foreign[8 + 11] = '1';  // "Tesvar_1.0.1"
  EXPECT_EQ(SetChunk(*host, 1, foreign), 0);
  EXPECT_FLOAT_EQ(host->GetParameter(17), 0.25f);

  EXPECT_EQ(host->Dispatch(vst::effSetChunk, 1, -5, program.data()), 0);
  EXPECT_EQ(host->Dispatch(vst::effSetChunk, 0, -5, program.data()), 0);
  EXPECT_EQ(host->Dispatch(vst::effSetChunk, 1, 10, nullptr), 0);
  EXPECT_EQ(host->Dispatch(vst::effGetChunk, 0, 0, nullptr), 0);
  EXPECT_EQ(SetChunk(*host, 1, {}), 0);
  EXPECT_EQ(SetChunk(*host, 0, {'t', 'f', 'f', 'p'}), 0);

  // Every cut of a bank chunk is survived; the instance keeps answering afterwards.
  const auto bank = GetChunk(*host, 0);
  for (std::size_t cut = 0; cut < bank.size(); cut += 97) {
    std::vector<std::uint8_t> part(bank.begin(), bank.begin() + static_cast<long>(cut));
    SetChunk(*host, 0, part);
  }
  EXPECT_EQ(SetChunk(*host, 0, bank), 1);
}

TEST(HostChunkTest, DamagedChordMemoryCountsAreBounded) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  const auto program = GetChunk(*host, 1);
  // The chord memory count sits right after the 51 values of the body.
  std::int32_t nameLength = 0;
  std::memcpy(&nameLength, program.data() + 8 + 12 + 4, 4);
  const std::size_t countAt = 8 + 12 + 4 + 4 + static_cast<std::size_t>(nameLength) + 51 * 8;
  ASSERT_LT(countAt + 4, program.size());

  auto negative = program;
  const std::int32_t minusThree = -3;
  std::memcpy(negative.data() + countAt, &minusThree, 4);
  EXPECT_EQ(SetChunk(*host, 1, negative), 1);

  // 70 entries: the body still reads to its end, so the name after it is found.
  std::vector<std::uint8_t> many(program.begin(), program.begin() + static_cast<long>(countAt));
  const std::int32_t seventy = 70;
  many.insert(many.end(), reinterpret_cast<const std::uint8_t*>(&seventy),
              reinterpret_cast<const std::uint8_t*>(&seventy) + 4);
  for (std::int32_t i = 0; i < 70; ++i) {
    many.insert(many.end(), reinterpret_cast<const std::uint8_t*>(&i), reinterpret_cast<const std::uint8_t*>(&i) + 4);
  }
  const std::string name = "Long Chord";
  const std::int32_t length = static_cast<std::int32_t>(name.size());
  many.insert(many.end(), reinterpret_cast<const std::uint8_t*>(&length),
              reinterpret_cast<const std::uint8_t*>(&length) + 4);
  many.insert(many.end(), name.begin(), name.end());
  EXPECT_EQ(SetChunk(*host, 1, many), 1);
  EXPECT_EQ(host->Text(vst::effGetProgramName, 0), "Long Chord");
  // What is written back holds 63 entries.
  const auto saved = GetChunk(*host, 1);
  std::int32_t count = 0;
  std::memcpy(&count, saved.data() + countAt + (name.size() - nameLength), 4);
  EXPECT_EQ(count, 63);
}

TEST(HostChunkTest, ProgramChunkHostsGetProgramChunksAndMayHandBackABank) {
  auto source = LoadPlugin();
  ASSERT_TRUE(source);
  MarkPrograms(*source);
  const auto bank = GetChunk(*source, 0);

  auto host = LoadPlugin("Some Host", "Native Instruments");
  ASSERT_TRUE(host);
  // Index 0 gives a program chunk to this host: it ends with the current program's name.
  host->Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("NI"));
  const auto chunk = GetChunk(*host, 0);
  ASSERT_GT(chunk.size(), 2u);
  EXPECT_EQ(std::string(chunk.end() - 2, chunk.end()), "NI");
  // A bank handed back is recognised after the program reading falls short.
  EXPECT_EQ(SetChunk(*host, 0, bank), 1);
  char name[64] = {};
  host->Dispatch(vst::effGetProgramNameIndexed, 63, 0, name);
  EXPECT_STREQ(name, "mark 63");
}

// Regression: a program chunk cut inside its values used to restore the values before the
// cut (and empty the chord memory) while answering 0.
TEST(HostChunkTest, ACutProgramChunkLeavesTheSoundAlone) {
  auto source = LoadPlugin();
  auto target = LoadPlugin();
  ASSERT_TRUE(source && target);
  source->SetParameter(0, 0.125f);
  source->SetParameter(1, 0.875f);
  const auto program = GetChunk(*source, 1);
  std::int32_t nameLength = 0;
  std::memcpy(&nameLength, program.data() + 8 + 12 + 4, 4);
  const std::size_t valuesAt = 8 + 12 + 4 + 4 + static_cast<std::size_t>(nameLength);
  ASSERT_LT(valuesAt + 2 * 8 + 3, program.size());
  const std::vector<std::uint8_t> cut(program.begin(), program.begin() + static_cast<long>(valuesAt + 2 * 8 + 3));

  const float volume = target->GetParameter(0);
  const float tune = target->GetParameter(1);
  const float bend = target->GetParameter(2);
  ASSERT_NE(volume, 0.125f);
  EXPECT_EQ(SetChunk(*target, 1, cut), 0);
  EXPECT_EQ(target->GetParameter(0), volume);
  EXPECT_EQ(target->GetParameter(1), tune);
  EXPECT_EQ(target->GetParameter(2), bend);
}

// The position after slot `slot`'s record in a bank chunk (name, flag, body).
std::size_t SlotBodyAt(const std::vector<std::uint8_t>& bank, int slot) {
  std::size_t pos = 8;
  auto int32At = [&bank](std::size_t at) {
    std::int32_t v = 0;
    std::memcpy(&v, bank.data() + at, 4);
    return static_cast<std::size_t>(v);
  };
  for (int i = 0;; ++i) {
    pos += 4 + int32At(pos) + 1;  // name and flag: every slot of these banks is initialised
    if (i == slot) return pos;
    const std::size_t chordAt = pos + 12 + 4 + 4 + int32At(pos + 16) + 51 * 8;
    pos = chordAt + 4 + 4 * int32At(chordAt);
  }
}

// Regression: a bank whose body for slot 3 is refused used to give slot 3 the bank's name
// over its old sound.
TEST(HostChunkTest, ABankReadingStopsAtARefusedBodyAndThatSlotKeepsItsName) {
  auto source = LoadPlugin();
  auto target = LoadPlugin();
  ASSERT_TRUE(source && target);
  MarkPrograms(*source);
  auto bank = GetChunk(*source, 0);
  bank[SlotBodyAt(bank, 3) + 11] = '9';  // "Tesvar_1.0.9"
  char before[64] = {};
  target->Dispatch(vst::effGetProgramNameIndexed, 3, 0, before);
  ASSERT_STRNE(before, "mark 3");
  EXPECT_EQ(SetChunk(*target, 0, bank), 0);
  char name[64] = {};
  target->Dispatch(vst::effGetProgramNameIndexed, 2, 0, name);
  EXPECT_STREQ(name, "mark 2");
  target->Dispatch(vst::effGetProgramNameIndexed, 3, 0, name);
  EXPECT_STREQ(name, before);
}

// Regression: for a host that only asks for program chunks, bytes that are neither a
// program nor a bank used to be answered 1, as if restored.
TEST(HostChunkTest, ProgramChunkHostsAreToldWhenNothingWasRestored) {
  auto host = LoadPlugin("Some Host", "Native Instruments");
  ASSERT_TRUE(host);
  const float cutoff = host->GetParameter(16);
  EXPECT_EQ(SetChunk(*host, 1, std::vector<std::uint8_t>(40, 'x')), 0);
  EXPECT_EQ(SetChunk(*host, 0, std::vector<std::uint8_t>(40, 'x')), 0);
  EXPECT_EQ(host->GetParameter(16), cutoff);
  EXPECT_EQ(SetChunk(*host, 1, GetChunk(*host, 1)), 1);
}

}  // namespace
