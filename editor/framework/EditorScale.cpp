// Reading scales from settings and desktop factors.
#include "editor/framework/EditorScale.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace editor_scale {

int PercentForFactor(double factor) {
  if (!std::isfinite(factor)) return kMinPercent;
  const double percent = factor * 100.0;
  // A little slack for factors computed from DPI values (120 / 96 = 1.25 exactly, but 118 dpi
  // screens exist).
  if (percent < kMinPercent - 0.5 || percent > 300.5) return kMinPercent;
  // The nearest step; halfway between two, the larger (as halves round up elsewhere).
  int best = kSteps[0];
  for (int step : kSteps) {
    if (std::fabs(step - percent) <= std::fabs(best - percent)) best = step;
  }
  return best;
}

int ParseZoom(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  const std::string value = text.substr(begin, end - begin);
  if (value.empty()) return -1;
  std::string lower;
  for (char c : value) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "auto") return kAuto;
  // A percent, with or without its sign: "150" or "150%".
  std::size_t digits = lower.size();
  if (lower.back() == '%') digits = lower.find_last_not_of(" %") + 1;
  if (digits == 0 || digits > 4) return -1;
  for (std::size_t i = 0; i < digits; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(lower[i]))) return -1;
  }
  const int percent = std::atoi(lower.substr(0, digits).c_str());
  if (percent < kMinPercent || percent > 300) return -1;
  return PercentForFactor(percent / 100.0);
}

std::string ZoomText(int zoom) { return zoom == kAuto ? std::string("Auto") : std::to_string(zoom); }

}  // namespace editor_scale
