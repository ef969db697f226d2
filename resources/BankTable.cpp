// Reading and checking the tab-separated factory-bank tables.
#include "resources/BankTable.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace resources {
namespace {

constexpr std::size_t kFirstParamColumn = 2;
constexpr std::size_t kChordColumn = kFirstParamColumn + kParameterCount;
constexpr std::size_t kColumnCount = kChordColumn + 1;

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> cells;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      cells.push_back(line.substr(start));
      return cells;
    }
    cells.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The whole cell must be one number: "12abc" or "" are refused.
bool ParseNumber(std::string_view s, double& value) {
  if (s.empty()) return false;
  if (s.front() == '+') s.remove_prefix(1);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

bool ParseInt(std::string_view s, long& value) {
  if (s.empty()) return false;
  if (s.front() == '+') s.remove_prefix(1);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

std::string FormatNumber(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", v);
  return buffer;
}

// Builds "line 12, program 3, column 19 "VCF Cutoff": " so every refusal names its cell.
std::string Where(std::size_t line, long program, std::size_t column, const std::vector<std::string>& titles) {
  std::ostringstream s;
  s << "line " << line;
  if (program >= 0) s << ", program " << program;
  if (column < titles.size()) s << ", column " << column + 1 << " \"" << titles[column] << "\"";
  s << ": ";
  return s.str();
}

std::string Quoted(std::string_view s) {
  std::string q;
  q.reserve(s.size() + 2);
  q.append(1, '"').append(s).append(1, '"');
  return q;
}

bool ParseValue(std::size_t index, std::string_view cell, double& value, std::string& why) {
  const ParameterInfo& info = kParameterInfo[index];
  if (info.kind == ParamKind::List) {
    for (std::size_t i = 0; i < info.listTexts.size(); ++i) {
      if (cell == info.listTexts[i]) {
        value = double(i);
        return true;
      }
    }
    std::ostringstream message;
    message << '"' << cell << "\" is not one of";
    for (const char* text : info.listTexts) message << " \"" << text << '"';
    why = message.str();
    return false;
  }
  if (!ParseNumber(cell, value)) {
    why = Quoted(cell) + " is not a number";
    return false;
  }
  if (info.kind == ParamKind::Integer && value != std::floor(value)) {
    why = FormatNumber(value) + " is not a whole number";
    return false;
  }
  if (value < info.minValue || value > info.maxValue) {
    why = FormatNumber(value) + " is outside " + FormatNumber(info.minValue) + " to " + FormatNumber(info.maxValue);
    return false;
  }
  return true;
}

bool ParseChord(std::string_view cell, std::vector<std::int32_t>& chord, std::string& why) {
  chord.clear();
  std::size_t pos = 0;
  while (pos < cell.size()) {
    if (cell[pos] == ' ') {
      ++pos;
      continue;
    }
    std::size_t end = cell.find(' ', pos);
    if (end == std::string_view::npos) end = cell.size();
    const std::string_view item = cell.substr(pos, end - pos);
    long offset = 0;
    if (!ParseInt(item, offset)) {
      why = "chord entry " + Quoted(item) + " is not a whole number of semitones";
      return false;
    }
    if (offset < -kMaxChordOffset || offset > kMaxChordOffset) {
      why = "chord entry " + std::string(item);
      why += " is outside -127 to 127";
      return false;
    }
    if (chord.size() == kMaxChordEntries) {
      why = "chord memory has more than 63 entries";
      return false;
    }
    chord.push_back(std::int32_t(offset));
    pos = end;
  }
  return true;
}

}  // namespace

std::vector<std::string> BankTableColumns() {
  std::vector<std::string> titles = {"program", "name"};
  for (const ParameterInfo& info : kParameterInfo) titles.emplace_back(info.name);
  titles.emplace_back("chord");
  return titles;
}

bool ParseBankTable(std::string_view text, BankTable& out, std::string& error) {
  const std::vector<std::string> titles = BankTableColumns();
  out.programs.clear();
  bool haveHeader = false;
  std::size_t lineNumber = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (Trim(line).empty() || line.front() == '#') continue;

    std::vector<std::string_view> cells = SplitTabs(line);
    for (std::string_view& cell : cells) cell = Trim(cell);
    if (!haveHeader) {
      for (std::size_t c = 0; c < cells.size() && c < titles.size(); ++c) {
        if (cells[c] != titles[c]) {
          std::ostringstream message;
          message << "line " << lineNumber << ", column " << c + 1 << ": unknown column \"" << cells[c]
                  << "\" (expected \"" << titles[c] << "\")";
          error = message.str();
          return false;
        }
      }
      if (cells.size() != titles.size()) {
        error = "line " + std::to_string(lineNumber) + ": header has " + std::to_string(cells.size()) +
                " columns, expected " + std::to_string(titles.size());
        return false;
      }
      haveHeader = true;
      continue;
    }

    const long row = long(out.programs.size());
    // A row may end before the chord cell when it has no chord memory.
    if (cells.size() != kColumnCount && cells.size() != kColumnCount - 1) {
      error = Where(lineNumber, row, titles.size(), titles) + "row has " + std::to_string(cells.size()) +
              " cells, expected " + std::to_string(kColumnCount);
      return false;
    }
    if (out.programs.size() == kBankProgramCount) {
      error = Where(lineNumber, row, titles.size(), titles) + "more than 64 programs";
      return false;
    }
    long number = -1;
    if (!ParseInt(cells[0], number) || number != row) {
      error = Where(lineNumber, row, 0, titles) + Quoted(cells[0]) + " is not the program number " +
              std::to_string(row) + " (rows run 0 to 63 in order)";
      return false;
    }
    BankProgram program;
    program.name = std::string(cells[1]);
    if (program.name.empty() || program.name.size() > kMaxProgramNameLength) {
      error = Where(lineNumber, row, 1, titles) + "name must have 1 to 255 characters, has " +
              std::to_string(program.name.size());
      return false;
    }
    for (const char ch : program.name) {
      if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) {
        error = Where(lineNumber, row, 1, titles) + "name holds a control character";
        return false;
      }
    }
    for (std::size_t i = 0; i < kParameterCount; ++i) {
      std::string why;
      if (!ParseValue(i, cells[kFirstParamColumn + i], program.values[i], why)) {
        error = Where(lineNumber, row, kFirstParamColumn + i, titles) + why;
        return false;
      }
    }
    if (cells.size() == kColumnCount) {
      std::string why;
      if (!ParseChord(cells[kChordColumn], program.chord, why)) {
        error = Where(lineNumber, row, kChordColumn, titles) + why;
        return false;
      }
    }
    out.programs.push_back(std::move(program));
  }
  if (!haveHeader) {
    error = "no header row";
    return false;
  }
  if (out.programs.size() != kBankProgramCount) {
    error = "table has " + std::to_string(out.programs.size()) + " programs, expected 64";
    return false;
  }
  return true;
}

std::string FormatParameterCell(std::size_t index, double value) {
  const ParameterInfo& info = kParameterInfo[index];
  if (info.kind == ParamKind::List) {
    const std::size_t i = std::size_t(std::lround(value));
    return i < info.listTexts.size() ? info.listTexts[i] : FormatNumber(value);
  }
  return FormatNumber(value);
}

std::string FormatBankTable(const BankTable& table) {
  std::string text;
  const std::vector<std::string> titles = BankTableColumns();
  for (std::size_t c = 0; c < titles.size(); ++c) {
    if (c > 0) text += '\t';
    text.append(titles[c]);
  }
  text += '\n';
  for (std::size_t row = 0; row < table.programs.size(); ++row) {
    const BankProgram& program = table.programs[row];
    text.append(std::to_string(row)).append(1, '\t').append(program.name);
    for (std::size_t i = 0; i < kParameterCount; ++i) {
      text.append(1, '\t').append(FormatParameterCell(i, program.values[i]));
    }
    text += '\t';
    for (std::size_t k = 0; k < program.chord.size(); ++k) {
      if (k > 0) text += ' ';
      text.append(std::to_string(program.chord[k]));
    }
    text += '\n';
  }
  return text;
}

}  // namespace resources
