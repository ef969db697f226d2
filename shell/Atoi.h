// The C `atoi` reading rule without its undefined overflow.
#pragma once

#include <climits>
#include <string_view>

namespace shell {

// Leading blanks, an optional sign, then digits up to the first other character (none
// reads as 0); beyond the int range the answer saturates at INT_MAX or INT_MIN, as the
// Windows run time does.
inline int SaturatingAtoi(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace shell
