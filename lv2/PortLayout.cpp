// Port symbols and names from the parameter rows.
#include "lv2/PortLayout.h"

#include <cctype>

namespace lv2ports {

namespace {

// 1, 2, ... for the reserved slots in index order.
int ReservedNumber(int index) {
  int number = 0;
  for (int i = 0; i <= index; ++i) {
    if (IsReservedParam(i)) ++number;
  }
  return number;
}

}  // namespace

bool IsReservedParam(int index) {
  return index >= 0 && index < kParamCount && resources::kParameterInfo[index].name == "reserved";
}

std::string ParamSymbol(int index) {
  if (index < 0 || index >= kParamCount) return std::string();
  if (IsReservedParam(index)) return "reserved_" + std::to_string(ReservedNumber(index));
  std::string symbol;
  bool gap = false;
  for (const char c : resources::kParameterInfo[index].name) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) != 0) {
      if (gap && !symbol.empty()) symbol += '_';
      symbol += static_cast<char>(std::tolower(u));
      gap = false;
    } else {
      gap = true;
    }
  }
  return symbol;
}

std::string ParamLabel(int index) {
  if (index < 0 || index >= kParamCount) return std::string();
  if (IsReservedParam(index)) return "Reserved " + std::to_string(ReservedNumber(index));
  return std::string(resources::kParameterInfo[index].name);
}

}  // namespace lv2ports
