// The hardware's 8-byte program layout and its mapping onto the plug-in's parameters.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tape {

constexpr int kTapeParamCount = 51;
constexpr int kTapeProgramCount = 64;
constexpr int kTapeProgramBytes = 8;
constexpr int kTapeDataBytes = kTapeProgramCount * kTapeProgramBytes;  // 512

using TapeData = std::array<std::uint8_t, kTapeDataBytes>;
using ProgramValues = std::array<double, kTapeParamCount>;  // plain values by index
using TapeBank = std::array<ProgramValues, kTapeProgramCount>;

// One bit field of a hardware program: `width` bits of byte `byte` starting at bit
// `shift`, stored into parameter `param` as field value + `offset`.
struct TapeField {
  int byte;
  int shift;
  int width;
  int param;
  int offset;
};

// The 20 fields in layout order; parameters not listed keep their defaults.
extern const std::array<TapeField, 20> kTapeFields;

// Range and default of one parameter, in plain units.
struct ParamLimits {
  double minimum = 0.0;
  double maximum = 1.0;
  double defaultValue = 0.0;
};
using ParamLimitTable = std::array<ParamLimits, kTapeParamCount>;

// Ranges and defaults of the product's 51 parameters (the same numbers as its parameter
// table; the plug-in glue uses the live records instead).
const ParamLimitTable& ProductParamLimits();

// Value of field f in one program's 8 bytes, before clamping.
int FieldValue(std::span<const std::uint8_t, kTapeProgramBytes> program, const TapeField& f);

// A value limited to [minimum, maximum]; NaN becomes the minimum.
double ClampToLimits(double value, const ParamLimits& limits);

// One program: every parameter at its default, then each field written clamped to its
// parameter's range. No field can reach a parameter or table outside the 51 indices.
ProgramValues MapProgram(std::span<const std::uint8_t, kTapeProgramBytes> program,
                         const ParamLimitTable& limits = ProductParamLimits());

// All 64 programs of a dump's 512 data bytes (program i = bytes 8i .. 8i + 7).
TapeBank MapPrograms(const TapeData& data, const ParamLimitTable& limits = ProductParamLimits());

// The reverse, for the signal generator: each mapped value rounded (half away from zero)
// minus the field offset, limited to what the field can hold. Unused bits are 0.
std::array<std::uint8_t, kTapeProgramBytes> ProgramToBytes(const ProgramValues& values);
TapeData BankToData(const TapeBank& bank);

// Data bytes of 64 random programs (from seed) whose fields all lie within their
// parameters' ranges, so that the mapping is exact both ways: for the signal generator
// and the tests.
TapeData RandomInRangeData(std::uint32_t seed);

// "Program %i-%i": bank digit index / 8 + 1, number digit index mod 8 + 1.
std::string TapeProgramName(int index);

}  // namespace tape
