// Bit fields of the hardware program and their clamped mapping onto parameter values.
#include "tape/TapeProgramMapper.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "resources/ParameterInfo.h"

namespace tape {

// {byte, shift, width, parameter index, offset}; bit 7 is the most significant bit.
const std::array<TapeField, 20> kTapeFields = {{
    {0, 5, 3, 10, 0},  // DCO1 PW/PWM
    {0, 3, 2, 8, 0},   // DCO1 Octave
    {0, 0, 3, 15, 1},  // DCO2 Detune, stored as field + 1
    {1, 7, 1, 18, 0},  // VCF KBD Track
    {1, 4, 3, 19, 0},  // VCF EG Intensity (b1 bit 3 is not used)
    {1, 0, 3, 14, 0},  // DCO2 Interval
    {2, 2, 6, 16, 0},  // VCF Cutoff (b2 bits 1-0 are not used)
    {3, 4, 2, 9, 0},   // DCO1 Waveform (b3 bits 7-6 are not used)
    {3, 2, 2, 13, 0},  // DCO2 Waveform
    {3, 0, 2, 12, 0},  // DCO2 Octave
    {4, 4, 4, 21, 0},  // EG1 Attack
    {4, 1, 3, 17, 0},  // VCF Resonance
    {4, 0, 1, 25, 0},  // VCA EG Mode
    {5, 4, 4, 23, 0},  // EG1 Sustain
    {5, 0, 4, 22, 0},  // EG1 Decay
    {6, 4, 4, 30, 0},  // MG Frequency
    {6, 0, 4, 24, 0},  // EG1 Release
    {7, 5, 3, 33, 0},  // MG VCF
    {7, 2, 3, 32, 0},  // MG DCO
    {7, 0, 2, 31, 0},  // MG Delay
}};

static_assert(kTapeParamCount == static_cast<int>(resources::kParameterCount));

const ParamLimitTable& ProductParamLimits() {
  static const ParamLimitTable table = [] {
    ParamLimitTable limits{};
    for (int i = 0; i < kTapeParamCount; ++i) {
      const resources::ParameterInfo& info = resources::kParameterInfo[static_cast<std::size_t>(i)];
      limits[static_cast<std::size_t>(i)] = {info.minValue, info.maxValue, info.defaultValue};
    }
    return limits;
  }();
  return table;
}

int FieldValue(std::span<const std::uint8_t, kTapeProgramBytes> program, const TapeField& f) {
  return (program[std::size_t(f.byte)] >> f.shift) & ((1 << f.width) - 1);
}

double ClampToLimits(double value, const ParamLimits& limits) {
  if (!(value >= limits.minimum)) return limits.minimum;  // also catches NaN
  return std::min(value, limits.maximum);
}

ProgramValues MapProgram(std::span<const std::uint8_t, kTapeProgramBytes> program, const ParamLimitTable& limits) {
  ProgramValues values{};
  for (int i = 0; i < kTapeParamCount; ++i) {
    values[std::size_t(i)] = ClampToLimits(limits[std::size_t(i)].defaultValue, limits[std::size_t(i)]);
  }
  for (const TapeField& f : kTapeFields) {
    const std::size_t p = std::size_t(f.param);
    values[p] = ClampToLimits(double(FieldValue(program, f) + f.offset), limits[p]);
  }
  return values;
}

TapeBank MapPrograms(const TapeData& data, const ParamLimitTable& limits) {
  TapeBank bank{};
  for (int i = 0; i < kTapeProgramCount; ++i) {
    const std::span<const std::uint8_t, kTapeProgramBytes> program(data.data() + std::size_t(i) * kTapeProgramBytes,
                                                                   kTapeProgramBytes);
    bank[std::size_t(i)] = MapProgram(program, limits);
  }
  return bank;
}

std::array<std::uint8_t, kTapeProgramBytes> ProgramToBytes(const ProgramValues& values) {
  std::array<std::uint8_t, kTapeProgramBytes> bytes{};
  for (const TapeField& f : kTapeFields) {
    const double v = values[std::size_t(f.param)];
    const int top = (1 << f.width) - 1;
    int field = std::isfinite(v) ? int(std::clamp(std::round(v) - f.offset, 0.0, double(top))) : 0;
    bytes[std::size_t(f.byte)] = std::uint8_t(bytes[std::size_t(f.byte)] | field << f.shift);
  }
  return bytes;
}

TapeData BankToData(const TapeBank& bank) {
  TapeData data{};
  for (int i = 0; i < kTapeProgramCount; ++i) {
    const auto bytes = ProgramToBytes(bank[std::size_t(i)]);
    std::copy(bytes.begin(), bytes.end(), data.begin() + i * kTapeProgramBytes);
  }
  return data;
}

std::string TapeProgramName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "Program %i-%i", index / 8 + 1, index % 8 + 1);
  return name;
}

TapeData RandomInRangeData(std::uint32_t seed) {
  std::mt19937 random(seed);
  TapeBank bank{};
  const ParamLimitTable& limits = ProductParamLimits();
  for (ProgramValues& program : bank) {
    for (const TapeField& f : kTapeFields) {
      const ParamLimits& l = limits[std::size_t(f.param)];
      const int top = std::min((1 << f.width) - 1 + f.offset, int(l.maximum));
      const int bottom = std::max(f.offset, int(std::ceil(l.minimum)));
      program[std::size_t(f.param)] = std::uniform_int_distribution<int>(bottom, top)(random);
    }
  }
  return BankToData(bank);
}

}  // namespace tape
