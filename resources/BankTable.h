// A factory bank as a sound designer writes it: a tab-separated table with one row per
// program, read and checked against the parameter metadata before any binary is made.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resources/ParameterInfo.h"

namespace resources {

inline constexpr std::size_t kBankProgramCount = 64;
inline constexpr std::size_t kMaxProgramNameLength = 255;
// Chord mode stacks one voice per entry plus the played note, and there are 64 voices.
inline constexpr std::size_t kMaxChordEntries = 63;
inline constexpr int kMaxChordOffset = 127;  // semitones, either direction

struct BankProgram {
  std::string name;
  std::array<double, kParameterCount> values{};  // plain values, parameter index order
  std::vector<std::int32_t> chord;               // semitone offsets; empty = no chord memory
};

struct BankTable {
  std::vector<BankProgram> programs;
};

// The column titles a table must have, in order: "program", "name", the 51 parameter
// names, "chord".
std::vector<std::string> BankTableColumns();

// Parses and validates a whole table. Lines starting with '#' and blank lines are skipped;
// the first other line is the header. List parameters are written as their display text
// ("16'", "PWM", "Unison"); every other parameter as a decimal number in its own units.
// The final "chord" cell may be left off a row when the program has no chord memory.
// On any fault answers false with `error` naming the line, the program row and the column;
// `out` is then unspecified.
bool ParseBankTable(std::string_view text, BankTable& out, std::string& error);

// Writes a table in the same format (header comment not included): the inverse of
// ParseBankTable for tables whose values are what it accepts.
std::string FormatBankTable(const BankTable& table);

// The text a cell holds for parameter `index` with plain `value`.
std::string FormatParameterCell(std::size_t index, double value);

}  // namespace resources
