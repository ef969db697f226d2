// The blend arithmetic of the drawing layer, written once for every platform: blits, fills,
// circles and text all end in these row operations. Weights are fixed-point factors of
// 1/65536 (kOne is 1.0), so 0.25 and 1 are exact and every result rounds to the nearest
// integer (halves up).
#pragma once

#include <cstdint>

#include "gfx/LICE.h"

namespace gfx {

constexpr int kOne = 65536;

// A weight 0..1 as a factor 0..kOne; values outside (and NaN) are clamped.
int WeightFactor(float weight);

// value + (target - value) * factor, rounded; factor 0..kOne.
inline int Mix(int value, int target, int factor) { return value + (((target - value) * factor + kOne / 2) >> 16); }

// value + addend * factor, rounded and limited to 255.
inline int AddSaturated(int value, int addend, int factor) {
  const int sum = value + ((addend * factor + kOne / 2) >> 16);
  return sum > 255 ? 255 : sum;
}

// The factor of a source pixel in source-alpha mode: its alpha / 255 times the weight factor.
inline int AlphaFactor(int sourceAlpha, int weightFactor) {
  return static_cast<int>((static_cast<std::uint32_t>(sourceAlpha) * static_cast<std::uint32_t>(weightFactor) + 127) /
                          255);
}

// One pixel in each mode with a factor that already holds everything (weight, coverage and,
// for kAlpha, the source alpha).
inline LICE_pixel CopyPixel(LICE_pixel dst, LICE_pixel src, int factor) {
  return LICE_RGBA(Mix(LICE_GETR(dst), LICE_GETR(src), factor), Mix(LICE_GETG(dst), LICE_GETG(src), factor),
                   Mix(LICE_GETB(dst), LICE_GETB(src), factor), Mix(LICE_GETA(dst), LICE_GETA(src), factor));
}
inline LICE_pixel AddPixel(LICE_pixel dst, LICE_pixel src, int factor) {
  return LICE_RGBA(
      AddSaturated(LICE_GETR(dst), LICE_GETR(src), factor), AddSaturated(LICE_GETG(dst), LICE_GETG(src), factor),
      AddSaturated(LICE_GETB(dst), LICE_GETB(src), factor), AddSaturated(LICE_GETA(dst), LICE_GETA(src), factor));
}
// Source-over: the colour moves towards the source, the alpha towards opaque.
inline LICE_pixel OverPixel(LICE_pixel dst, LICE_pixel src, int factor) {
  return LICE_RGBA(Mix(LICE_GETR(dst), LICE_GETR(src), factor), Mix(LICE_GETG(dst), LICE_GETG(src), factor),
                   Mix(LICE_GETB(dst), LICE_GETB(src), factor), Mix(LICE_GETA(dst), 255, factor));
}

// A row of source pixels onto a row of destination pixels.
void BlendRow(LICE_pixel* dst, const LICE_pixel* src, int count, int weightFactor, LICE_BlendMode mode);
// One colour onto a row; in kAlpha mode the colour's alpha takes part.
void FillRow(LICE_pixel* dst, LICE_pixel color, int count, int weightFactor, LICE_BlendMode mode);
// One colour onto a row, each pixel weighted by its coverage 0..255 (anti-aliased text).
void CoverageRow(LICE_pixel* dst, LICE_pixel color, const std::uint8_t* coverage, int count, int weightFactor,
                 LICE_BlendMode mode);
// One pixel of a colour at a factor that already holds the weight (and the coverage).
LICE_pixel BlendColor(LICE_pixel dst, LICE_pixel color, int factor, LICE_BlendMode mode);

// ---- Clipping --------------------------------------------------------------------------------

// The intersection of two rectangles (empty when they do not meet).
LICE_Rect Intersect(const LICE_Rect& a, const LICE_Rect& b);
// Where a bitmap may be written: its own bounds, narrowed by clip when given.
LICE_Rect DrawableArea(const LICE_IBitmap& dest, const LICE_Rect* clip);

// A blit after clipping: `width` x `height` pixels from (srcX, srcY) to (dstX, dstY), all inside
// both bitmaps. Empty (width or height 0) when nothing is visible.
struct BlitSpan {
  int dstX = 0;
  int dstY = 0;
  int srcX = 0;
  int srcY = 0;
  int width = 0;
  int height = 0;
};
// Clips a blit request to the source bitmap's size, the destination area and nothing else.
BlitSpan ClipBlit(const LICE_Rect& area, int srcWidth, int srcHeight, int dstX, int dstY, int srcX, int srcY, int width,
                  int height);

}  // namespace gfx
