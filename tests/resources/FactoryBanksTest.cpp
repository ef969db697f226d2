// The three factory banks as built into the library: file layout, bank 0's fixed names and
// rows, the Init program, value ranges, and the lookup through the platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "resources/FactoryBanks.h"
#include "resources/ParameterInfo.h"
#include "tests/resources/FxbReader.h"

namespace resources {
namespace {

using test::FxbImage;
using test::FxbReader;

FxbImage ReadBank(std::size_t bank) {
  FxbImage image;
  FxbReader reader(FactoryBanks()[bank].fxb);
  EXPECT_TRUE(reader.Read(image)) << "bank " << bank << ": " << reader.error();
  return image;
}

// The parameter defaults as published for the 51 parameters, written out independently
// of ParameterInfo.h so that a wrong default there shows here.
// clang-format off
constexpr double kPublishedDefaults[kParameterCount] = {
    0.5, 0, 2, 5.6, 0, 0, 2, 0,         // volume .. spread
    1, 0, 0, 0, 1, 0, 0, 1,             // DCO1, DCO2
    63, 0, 1, 0, 0,                     // VCF
    0, 0, 0, 0, 0, 0, 0, 15, 1,         // EG1, VCA mode, EG2
    8, 0, 0, 0,                         // MG
    0, 0.15, -0.3, 0.5, 0.5, 0.25, 0.5, 9.2, 1.9, 0.92,  // effects
    0, 0, 0, 0, 0, 0, 0};               // reserved
// clang-format on

TEST(FactoryBanks, EveryBankHasTheChunkFormLayout) {
  const std::uint32_t versions[kFactoryBankCount] = {10000, 900, 901};
  for (std::size_t bank = 0; bank < kFactoryBankCount; ++bank) {
    SCOPED_TRACE("bank " + std::to_string(bank));
    const auto bytes = FactoryBanks()[bank].fxb;
    const FxbImage image = ReadBank(bank);
    EXPECT_EQ(image.magic, "CcnK");
    EXPECT_EQ(image.byteSize, bytes.size() - 8);
    EXPECT_EQ(image.kind, "FBCh");
    EXPECT_EQ(image.formatVersion, 2u);
    EXPECT_EQ(image.pluginId, "tsvr");
    EXPECT_EQ(image.pluginVersion, versions[bank]);
    EXPECT_EQ(image.programCount, 64u);
    EXPECT_EQ(image.currentProgram, 0u);
    EXPECT_TRUE(image.reservedZero);
    EXPECT_EQ(image.chunkSize, bytes.size() - 160);
    EXPECT_EQ(image.chunkMagic, "tffp");
    EXPECT_EQ(image.chunkVersion, 0x00010000u);
    ASSERT_EQ(image.slots.size(), 64u);
    for (std::size_t i = 0; i < image.slots.size(); ++i) {
      const auto& slot = image.slots[i];
      SCOPED_TRACE("slot " + std::to_string(i) + " " + slot.name);
      EXPECT_EQ(slot.flag, 1);
      EXPECT_EQ(slot.tag, "Tesvar_1.0.0");
      EXPECT_EQ(slot.index, std::int32_t(i));
      EXPECT_EQ(slot.bodyName, slot.name);
      // 12 tag + 4 index + 4 + n name + 51 * 8 values + 4 count + 4 * m entries: 436 for
      // "Init" without a chord.
      EXPECT_EQ(slot.bodySize, 432 + slot.name.size() + 4 * slot.chord.size());
    }
  }
}

TEST(FactoryBanks, EveryValueLiesInItsRangeAndKind) {
  for (std::size_t bank = 0; bank < kFactoryBankCount; ++bank) {
    for (const auto& slot : ReadBank(bank).slots) {
      ASSERT_EQ(slot.values.size(), kParameterCount);
      for (std::size_t p = 0; p < kParameterCount; ++p) {
        const ParameterInfo& info = kParameterInfo[p];
        const double v = slot.values[p];
        EXPECT_TRUE(v >= info.minValue && v <= info.maxValue)
            << "bank " << bank << " " << slot.name << " " << info.name << " = " << v;
        if (info.kind != ParamKind::Continuous) {
          EXPECT_EQ(v, std::floor(v)) << "bank " << bank << " " << slot.name << " " << info.name;
        }
      }
      EXPECT_FALSE(slot.name.empty());
      EXPECT_LE(slot.name.size(), 255u);
    }
  }
}

TEST(FactoryBanks, Bank0HoldsTheHardwareNamesInOrder) {
  // clang-format off
  const char* const names[64] = {
      "Fat Brass", "Bowed Strings 8'", "Synthe Clav 16'", "Vibes Piano", "Percussive Organ",
      "Funk Bass", "Flute", "Helicopter", "Brass in 5ths", "Soft Strings 16'", "Synthe Piano",
      "Steel Tongue Flute", "New Wave Organ", "Celeste", "Pipe Organ", "Synthe Sweep",
      "Solo Brass", "Horns", "Crescendo Fat Brass", "Brass in Octaves", "Piccolo Trumpet",
      "Obi Wah", "Synthe Brass", "Percussive Brass", "High Strings 4'", "Low Strings 16'",
      "Bowed Violins", "Sforzando Strings", "Pizz Strings", "Solo Violin",
      "Square Wave Ensemble", "Lunar Flutes", "Clav", "Harpsichord", "Plucked Synthe",
      "Bright Piano", "Sinful Eyes", "Vibes", "Reed Piano", "Jazz Guitar", "Organ 1",
      "Organ 2", "Organ 3", "Chimes-chord", "Steel Drums", "Accordion", "Harmonica",
      "Sax Ensemble", "Space Cathedral", "Honky Tonk", "Space Voice", "Music Box", "Grunge",
      "Synthe Gong", "Break Up", "Om-pah Brass", "Program 8-1", "Program 8-2", "Program 8-3",
      "Program 8-4", "Program 8-5", "Program 8-6", "Program 8-7", "Program 8-8"};
  // clang-format on
  const FxbImage image = ReadBank(0);
  ASSERT_EQ(image.slots.size(), 64u);
  for (std::size_t i = 0; i < 64; ++i) EXPECT_EQ(image.slots[i].name, names[i]) << "slot " << i;
}

TEST(FactoryBanks, Bank0UsesOnlyTheHardwareParametersOnTopOfDefaults) {
  // Parameters 8 .. 33 of programs 0 and 1, exactly as the hardware stores them.
  const double given[2][26] = {{0, 0, 0, 0, 0, 1, 0, 4, 38, 2, 0, 3, 0, 7, 10, 4, 0, 0, 0, 0, 15, 1, 9, 2, 3, 0},
                               {1, 2, 3, 0, 1, 1, 0, 4, 43, 1, 1, 0, 0, 10, 12, 11, 9, 1, 0, 0, 15, 1, 10, 1, 3, 0}};
  const FxbImage image = ReadBank(0);
  ASSERT_EQ(image.slots.size(), 64u);
  for (std::size_t i = 0; i < 2; ++i) {
    for (std::size_t p = 8; p <= 33; ++p) {
      EXPECT_EQ(image.slots[i].values[p], given[i][p - 8]) << "program " << i << " param " << p;
    }
  }
  for (const auto& slot : image.slots) {
    for (std::size_t p = 0; p < kParameterCount; ++p) {
      if (p >= 8 && p <= 33) continue;
      EXPECT_EQ(slot.values[p], kPublishedDefaults[p]) << slot.name << " param " << p;
    }
    // The hardware's values are whole steps of its panel.
    for (std::size_t p = 8; p <= 33; ++p) {
      EXPECT_EQ(slot.values[p], std::floor(slot.values[p])) << slot.name << " param " << p;
    }
    EXPECT_TRUE(slot.chord.empty()) << slot.name;
  }
}

TEST(FactoryBanks, Bank1EndsWithInitAtEveryDefault) {
  const FxbImage image = ReadBank(1);
  ASSERT_EQ(image.slots.size(), 64u);
  const auto& init = image.slots.back();
  EXPECT_EQ(init.name, "Init");
  for (std::size_t p = 0; p < kParameterCount; ++p) {
    EXPECT_EQ(init.values[p], kPublishedDefaults[p]) << "param " << p;
  }
  EXPECT_TRUE(init.chord.empty());
}

// Banks 1 and 2 are designed sounds: distinct short names, and between them they use every
// key-assign mode, the 24 dB filter, pulse-width modulation, the delayed MG and every effect.
TEST(FactoryBanks, DesignedBanksAreNamedDistinctlyAndUseTheWholeInstrument) {
  for (std::size_t bank = 1; bank <= 2; ++bank) {
    SCOPED_TRACE("bank " + std::to_string(bank));
    const FxbImage image = ReadBank(bank);
    std::set<std::string> names;
    std::set<int> modes, effects;
    bool filter24 = false, pwm = false, delayedMg = false, chordWithMemory = false;
    for (const auto& slot : image.slots) {
      EXPECT_FALSE(slot.name.empty());
      EXPECT_LE(slot.name.size(), 24u) << slot.name;
      names.insert(slot.name);
      const auto& v = slot.values;
      modes.insert(int(v[5]));
      effects.insert(int(v[34]));
      filter24 |= v[20] == 1;
      pwm |= v[9] == 2 && v[10] > 0;
      delayedMg |= v[31] > 0 && v[32] > 0;
      chordWithMemory |= v[5] == 1 && !slot.chord.empty();
      if (v[5] != 1) {
        EXPECT_TRUE(slot.chord.empty()) << slot.name << " has an unused chord";
      }
    }
    EXPECT_EQ(names.size(), 64u);
    EXPECT_EQ(modes, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(effects, (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(filter24 && pwm && delayedMg && chordWithMemory);
  }
}

#ifdef TESVAR_REGISTERED_RESOURCES
TEST(FactoryBanks, RegisteredBanksAreFoundByNameAndType) {
  RegisterFactoryBanks();
  RegisterFactoryBanks();  // a second call changes nothing
  const char* const types[kFactoryBankCount] = {"FACTORY", "QUELLMARK", "VELTRUM"};
  for (std::size_t bank = 0; bank < kFactoryBankCount; ++bank) {
    const platform::ResourceBytes found = platform::FindModuleResource("PROGINIT", types[bank]);
    EXPECT_EQ(found.data, FactoryBanks()[bank].fxb.data()) << types[bank];
    EXPECT_EQ(found.size, FactoryBanks()[bank].fxb.size()) << types[bank];
  }
  EXPECT_EQ(platform::FindModuleResource("proginit", "veltrum").data, FactoryBanks()[2].fxb.data());
  EXPECT_EQ(platform::FindModuleResource("PROGINIT", "OTHER").data, nullptr);
}
#endif

#ifdef TESVAR_BANK_DIR
// The bank files in the build folder (which the Windows resource script embeds) hold the
// same bytes as the compiled-in banks.
TEST(FactoryBanks, BankFilesMatchTheCompiledInBytes) {
  const char* const files[kFactoryBankCount] = {"factory.fxb", "quellmark.fxb", "veltrum.fxb"};
  for (std::size_t bank = 0; bank < kFactoryBankCount; ++bank) {
    const std::string path = std::string(TESVAR_BANK_DIR) + "/" + files[bank];
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr) << path;
    std::vector<std::uint8_t> bytes;
    int c = 0;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(std::uint8_t(c));
    std::fclose(file);
    const auto embedded = FactoryBanks()[bank].fxb;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), embedded.begin(), embedded.end())) << path;
  }
}
#endif

}  // namespace
}  // namespace resources
