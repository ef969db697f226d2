// The editor's screen scale: the steps it offers, how editor pixels (the layout's units, the
// panel at 100 %) become device pixels and back, and how a scale is read from a setting or a
// desktop factor. Plain functions of integers; no window system.
#pragma once

#include <span>
#include <string>

namespace editor_scale {

// The scales, in percent. Every bitmap is drawn at 100 % and 200 %; the steps between are
// resampled from the 200 % drawing, so none is enlarged from a smaller drawing.
inline constexpr int kSteps[] = {100, 125, 150, 175, 200};
inline constexpr int kMinPercent = 100;
inline constexpr int kMaxPercent = 200;
// The "Zoom" setting's value for "follow the host or the desktop".
inline constexpr int kAuto = 0;

// Division rounding towards minus infinity, for coordinates left of or above the window.
constexpr long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// An editor coordinate in device pixels at `percent`: v x percent / 100, halves rounded up.
// Rounding each edge of a rectangle this way keeps neighbouring rectangles touching.
constexpr int ToDevice(int v, int percent) {
  return static_cast<int>(FloorDiv(static_cast<long long>(v) * percent + 50, 100));
}
// The editor pixel that owns device pixel `px`: the last v with ToDevice(v) <= px, so editor
// pixel v covers device pixels ToDevice(v) ... ToDevice(v + 1) - 1, and a drag of the same
// length on the screen moves a control by the same editor distance at every scale.
constexpr int ToEditor(int px, int percent) {
  if (percent <= 0) return px;
  return static_cast<int>(FloorDiv(static_cast<long long>(px) * 100 + 49, percent));
}

// The scale for a factor the desktop or the host reports (1.0 = 100 %): the nearest step,
// at most 200 % (no drawing larger than that exists). A factor outside 100 ... 300 %, or not a
// number, gives 100 %.
int PercentForFactor(double factor);

// The "Zoom" setting: "Auto" (any case) is kAuto; a whole percent is read as a factor
// (PercentForFactor, so "250" gives 200 and "80" gives 100). Anything else, empty included,
// answers -1 (unreadable: the caller uses 100 %).
int ParseZoom(const std::string& text);
// The text written for a setting: "Auto" or the percent.
std::string ZoomText(int zoom);

}  // namespace editor_scale
