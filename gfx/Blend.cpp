// Row blends and clipping shared by every drawing operation.
#include "gfx/Blend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gfx {

int WeightFactor(float weight) {
  if (!(weight > 0.0f)) return 0;  // also NaN
  if (weight >= 1.0f) return kOne;
  return static_cast<int>(std::lround(static_cast<double>(weight) * kOne));
}

LICE_pixel BlendColor(LICE_pixel dst, LICE_pixel color, int factor, LICE_BlendMode mode) {
  switch (mode) {
    case LICE_BlendMode::kCopy: return CopyPixel(dst, color, factor);
    case LICE_BlendMode::kAdd: return AddPixel(dst, color, factor);
    case LICE_BlendMode::kAlpha: return OverPixel(dst, color, AlphaFactor(LICE_GETA(color), factor));
  }
  return dst;
}

void BlendRow(LICE_pixel* dst, const LICE_pixel* src, int count, int weightFactor, LICE_BlendMode mode) {
  if (count <= 0 || weightFactor <= 0) return;
  switch (mode) {
    case LICE_BlendMode::kCopy:
      if (weightFactor == kOne) {
        std::memmove(dst, src, static_cast<std::size_t>(count) * sizeof(LICE_pixel));
        return;
      }
      for (int i = 0; i < count; ++i) dst[i] = CopyPixel(dst[i], src[i], weightFactor);
      return;
    case LICE_BlendMode::kAdd:
      for (int i = 0; i < count; ++i) dst[i] = AddPixel(dst[i], src[i], weightFactor);
      return;
    case LICE_BlendMode::kAlpha:
      // Panel bitmaps are mostly opaque or fully transparent: both skip the arithmetic.
      for (int i = 0; i < count; ++i) {
        const int alpha = LICE_GETA(src[i]);
        if (alpha == 0) continue;
        if (alpha == 255 && weightFactor == kOne) {
          dst[i] = src[i];
        } else {
          dst[i] = OverPixel(dst[i], src[i], AlphaFactor(alpha, weightFactor));
        }
      }
      return;
  }
}

void FillRow(LICE_pixel* dst, LICE_pixel color, int count, int weightFactor, LICE_BlendMode mode) {
  if (count <= 0 || weightFactor <= 0) return;
  if (mode == LICE_BlendMode::kAlpha) {
    const int factor = AlphaFactor(LICE_GETA(color), weightFactor);
    if (factor == 0) return;
    // Fully opaque at full weight is a plain store of the colour.
    if (factor == kOne) {
      std::fill(dst, dst + count, color);
      return;
    }
    for (int i = 0; i < count; ++i) dst[i] = OverPixel(dst[i], color, factor);
    return;
  }
  if (mode == LICE_BlendMode::kCopy && weightFactor == kOne) {
    std::fill(dst, dst + count, color);
    return;
  }
  for (int i = 0; i < count; ++i) dst[i] = BlendColor(dst[i], color, weightFactor, mode);
}

void CoverageRow(LICE_pixel* dst, LICE_pixel color, const std::uint8_t* coverage, int count, int weightFactor,
                 LICE_BlendMode mode) {
  if (count <= 0 || weightFactor <= 0) return;
  for (int i = 0; i < count; ++i) {
    if (coverage[i] == 0) continue;
    const int factor = (coverage[i] * weightFactor + 127) / 255;
    dst[i] = BlendColor(dst[i], color, factor, mode);
  }
}

LICE_Rect Intersect(const LICE_Rect& a, const LICE_Rect& b) {
  LICE_Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
  if (r.Empty()) return LICE_Rect{};
  return r;
}

LICE_Rect DrawableArea(const LICE_IBitmap& dest, const LICE_Rect* clip) {
  if (dest.Bits() == nullptr) return LICE_Rect{};
  const LICE_Rect bounds{0, 0, dest.Width(), dest.Height()};
  return clip != nullptr ? Intersect(bounds, *clip) : bounds;
}

BlitSpan ClipBlit(const LICE_Rect& area, int srcWidth, int srcHeight, int dstX, int dstY, int srcX, int srcY, int width,
                  int height) {
  // 64-bit edges: coordinates near the int limits must not wrap.
  long long sx0 = srcX, sy0 = srcY;
  long long sx1 = sx0 + width, sy1 = sy0 + height;
  long long dx0 = dstX, dy0 = dstY;
  // Source bounds move the destination with them.
  if (sx0 < 0) {
    dx0 -= sx0;
    sx0 = 0;
  }
  if (sy0 < 0) {
    dy0 -= sy0;
    sy0 = 0;
  }
  sx1 = std::min<long long>(sx1, srcWidth);
  sy1 = std::min<long long>(sy1, srcHeight);
  // Destination area moves the source with it.
  if (dx0 < area.left) {
    sx0 += area.left - dx0;
    dx0 = area.left;
  }
  if (dy0 < area.top) {
    sy0 += area.top - dy0;
    dy0 = area.top;
  }
  const long long w = std::min(sx1 - sx0, area.right - dx0);
  const long long h = std::min(sy1 - sy0, area.bottom - dy0);
  if (w <= 0 || h <= 0 || area.Empty()) return BlitSpan{};
  return BlitSpan{static_cast<int>(dx0), static_cast<int>(dy0), static_cast<int>(sx0),
                  static_cast<int>(sy0), static_cast<int>(w),   static_cast<int>(h)};
}

}  // namespace gfx
