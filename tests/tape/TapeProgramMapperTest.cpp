// The hardware program layout: which bits feed which parameter, and clamping.
#include "tape/TapeProgramMapper.h"

#include <gtest/gtest.h>

#include <set>

#include "TapeTestSupport.h"

namespace {

using tape::ProgramValues;

ProgramValues Map(std::array<std::uint8_t, 8> bytes) { return tape::MapProgram(bytes); }

TEST(TapeProgramMapper, EachFieldLandsInItsParameter) {
  // One byte pattern per row of the layout, checked against hand-decoded values.
  //            b0 = 101 10 011   b1 = 1 110 0 100   b2 = 101010 11   b3 = 11 10 01 00
  const ProgramValues v = Map({0xB3, 0xE4, 0xAB, 0xE4, 0x5B, 0xC3, 0x9E, 0x6D});
  EXPECT_EQ(v[10], 5);   // b0 7-5 DCO1 PW/PWM
  EXPECT_EQ(v[8], 2);    // b0 4-3 DCO1 Octave
  EXPECT_EQ(v[15], 4);   // b0 2-0 DCO2 Detune: 3 + 1
  EXPECT_EQ(v[18], 1);   // b1 7 VCF KBD Track
  EXPECT_EQ(v[19], 6);   // b1 6-4 VCF EG Intensity
  EXPECT_EQ(v[14], 4);   // b1 2-0 DCO2 Interval
  EXPECT_EQ(v[16], 42);  // b2 7-2 VCF Cutoff
  EXPECT_EQ(v[9], 2);    // b3 5-4 DCO1 Waveform
  EXPECT_EQ(v[13], 1);   // b3 3-2 DCO2 Waveform
  EXPECT_EQ(v[12], 0);   // b3 1-0 DCO2 Octave
  // b4 = 0101 101 1, b5 = 1100 0011, b6 = 1001 1110, b7 = 011 011 01
  EXPECT_EQ(v[21], 5);   // EG1 Attack
  EXPECT_EQ(v[17], 5);   // VCF Resonance
  EXPECT_EQ(v[25], 1);   // VCA EG Mode
  EXPECT_EQ(v[23], 12);  // EG1 Sustain
  EXPECT_EQ(v[22], 3);   // EG1 Decay
  EXPECT_EQ(v[30], 9);   // MG Frequency
  EXPECT_EQ(v[24], 14);  // EG1 Release
  EXPECT_EQ(v[33], 3);   // MG VCF
  EXPECT_EQ(v[32], 3);   // MG DCO
  EXPECT_EQ(v[31], 1);   // MG Delay
}

TEST(TapeProgramMapper, UnmappedParametersKeepTheirDefaultsAndUnusedBitsAreIgnored) {
  const auto& limits = tape::ProductParamLimits();
  std::set<int> mapped;
  for (const auto& f : tape::kTapeFields) mapped.insert(f.param);
  EXPECT_EQ(mapped.size(), tape::kTapeFields.size());  // no parameter written twice
  // Only the unused bits set: b1 bit 3, b2 bits 1-0, b3 bits 7-6.
  const ProgramValues unusedOnly = Map({0, 0x08, 0x03, 0xC0, 0, 0, 0, 0});
  const ProgramValues zero = Map({0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(unusedOnly, zero);
  for (int i = 0; i < tape::kTapeParamCount; ++i) {
    if (!mapped.count(i)) {
      EXPECT_EQ(zero[std::size_t(i)], limits[std::size_t(i)].defaultValue) << i;
    }
  }
}

// Out-of-range fields (octave 3, waveform 3, interval 5..7, detune 7 + 1) are clamped
// to the parameter's maximum, so no list parameter can index past its texts or tables.
TEST(TapeProgramMapper, OutOfRangeFieldsAreClampedIntoEveryParametersRange) {
  const auto& limits = tape::ProductParamLimits();
  const ProgramValues all = Map({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(all[15], 6);  // detune 8 -> 6
  EXPECT_EQ(all[8], 2);   // octave 3 -> 2
  EXPECT_EQ(all[12], 2);
  EXPECT_EQ(all[9], 2);  // waveform 3 -> 2
  EXPECT_EQ(all[13], 2);
  EXPECT_EQ(all[14], 4);  // interval 7 -> 4
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    const tape::TapeBank bank = tape::MapPrograms(tape_test::RandomData(seed));
    for (const auto& program : bank) {
      for (int i = 0; i < tape::kTapeParamCount; ++i) {
        ASSERT_GE(program[std::size_t(i)], limits[std::size_t(i)].minimum) << i;
        ASSERT_LE(program[std::size_t(i)], limits[std::size_t(i)].maximum) << i;
      }
    }
  }
  // Narrower live ranges (as a record could have) clamp the same way.
  tape::ParamLimitTable narrow = limits;
  narrow[16] = {10, 20, 15};
  EXPECT_EQ(tape::MapProgram(std::array<std::uint8_t, 8>{0, 0, 0xFC, 0, 0, 0, 0, 0}, narrow)[16], 20);
  EXPECT_EQ(tape::MapProgram(std::array<std::uint8_t, 8>{0, 0, 0x00, 0, 0, 0, 0, 0}, narrow)[16], 10);
  EXPECT_EQ(tape::ClampToLimits(std::nan(""), narrow[16]), 10);
}

TEST(TapeProgramMapper, InRangeProgramsSurviveBytesAndBack) {
  for (std::uint32_t seed = 1; seed <= 5; ++seed) {
    const tape::TapeData data = tape_test::InRangeData(seed);
    EXPECT_EQ(tape::BankToData(tape::MapPrograms(data)), data) << seed;
  }
  // Program i comes from bytes 8i .. 8i + 7.
  tape::TapeData data{};
  data[8 * 37 + 2] = 0x54;  // cutoff 21 in program 37
  const tape::TapeBank bank = tape::MapPrograms(data);
  EXPECT_EQ(bank[37][16], 21);
  EXPECT_EQ(bank[36][16], 0);
  EXPECT_EQ(bank[38][16], 0);
}

TEST(TapeProgramMapper, NamesReadBankDigitThenNumberDigit) {
  EXPECT_EQ(tape::TapeProgramName(0), "Program 1-1");
  EXPECT_EQ(tape::TapeProgramName(9), "Program 2-2");
  EXPECT_EQ(tape::TapeProgramName(63), "Program 8-8");
}

}  // namespace
