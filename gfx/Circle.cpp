// Anti-aliased circle fills: each pixel is weighted by the exact area of the disc inside it.
#include <algorithm>
#include <cmath>

#include "gfx/Blend.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The integral of sqrt(r^2 - t^2) from 0 to u.
double HalfChordIntegral(double r, double u) {
  const double root = std::sqrt(std::max(0.0, r * r - u * u));
  return 0.5 * (u * root + r * r * std::asin(std::clamp(u / r, -1.0, 1.0)));
}

// Area of the disc (centre 0, radius r) where u >= x and v >= y, for x, y >= 0.
double Segment(double r, double x, double y) {
  if (x * x + y * y >= r * r) return 0.0;
  const double xm = std::sqrt(r * r - y * y);
  return HalfChordIntegral(r, xm) - HalfChordIntegral(r, x) - y * (xm - x);
}

// Area of the disc above the line v = y (v >= y).
double Strip(double r, double y) {
  if (y >= r) return 0.0;
  if (y <= -r) return kPi * r * r;
  return y >= 0.0 ? 2.0 * Segment(r, 0.0, y) : kPi * r * r - 2.0 * Segment(r, 0.0, -y);
}

// Area of the disc where u >= x and v >= y, any signs, by mirroring into the first quadrant.
double Corner(double r, double x, double y) {
  if (x < 0.0) return Strip(r, y) - Corner(r, -x, y);
  if (y < 0.0) return Strip(r, x) - Corner(r, x, -y);
  return Segment(r, x, y);
}

// Fraction of the unit pixel [x0, x0 + 1) x [y0, y0 + 1) (relative to the centre) inside the disc.
double PixelCoverage(double r, double x0, double y0) {
  const double x1 = x0 + 1.0;
  const double y1 = y0 + 1.0;
  const double area = Corner(r, x0, y0) - Corner(r, x1, y0) - Corner(r, x0, y1) + Corner(r, x1, y1);
  return std::clamp(area, 0.0, 1.0);
}

}  // namespace

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float radius, LICE_pixel color, float weight,
                     LICE_BlendMode mode, const LICE_Rect* clip) {
  if (dest == nullptr || !(radius > 0.0f) || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius)) {
    return;
  }
  const int factor = gfx::WeightFactor(weight);
  const LICE_Rect area = gfx::DrawableArea(*dest, clip);
  if (factor == 0 || area.Empty()) return;
  const double r = radius;
  // The disc's bounding box in whole pixels, limited to the drawable area before any
  // conversion to int.
  const double left = std::max<double>(area.left, std::floor(cx - r));
  const double top = std::max<double>(area.top, std::floor(cy - r));
  const double right = std::min<double>(area.right, std::ceil(cx + r));
  const double bottom = std::min<double>(area.bottom, std::ceil(cy + r));
  if (left >= right || top >= bottom) return;
  const double r2 = r * r;
  for (int y = static_cast<int>(top); y < static_cast<int>(bottom); ++y) {
    LICE_pixel* row = dest->Bits() + static_cast<std::ptrdiff_t>(y) * dest->RowSpan();
    const double y0 = y - static_cast<double>(cy);
    const double nearY = std::max(0.0, std::max(y0, -(y0 + 1.0)));  // nearest edge to the centre
    const double farY = std::max(std::abs(y0), std::abs(y0 + 1.0));
    for (int x = static_cast<int>(left); x < static_cast<int>(right); ++x) {
      const double x0 = x - static_cast<double>(cx);
      const double nearX = std::max(0.0, std::max(x0, -(x0 + 1.0)));
      const double farX = std::max(std::abs(x0), std::abs(x0 + 1.0));
      int pixelFactor;
      if (farX * farX + farY * farY <= r2) {
        pixelFactor = factor;  // the whole pixel is inside
      } else if (nearX * nearX + nearY * nearY >= r2) {
        continue;  // the whole pixel is outside
      } else {
        pixelFactor = static_cast<int>(std::lround(PixelCoverage(r, x0, y0) * factor));
        if (pixelFactor == 0) continue;
      }
      row[x] = gfx::BlendColor(row[x], color, pixelFactor, mode);
    }
  }
}
