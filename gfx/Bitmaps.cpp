// Memory bitmaps and the drawing operations on any bitmap: blits, fills, outlines, clears.
#include "gfx/Blend.h"
#include "gfx/PixelMemory.h"

LICE_MemBitmap::LICE_MemBitmap(int width, int height) { Resize(width, height); }

LICE_MemBitmap::~LICE_MemBitmap() { gfx::FreePixels(bits_); }

bool LICE_MemBitmap::Resize(int width, int height) {
  return gfx::ResizePixels(&bits_, &width_, &height_, width, height);
}

void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int srcX, int srcY, int width,
               int height, float weight, LICE_BlendMode mode, const LICE_Rect* clip) {
  if (dest == nullptr || src == nullptr || src->Bits() == nullptr) return;
  const int factor = gfx::WeightFactor(weight);
  if (factor == 0) return;
  const gfx::BlitSpan span =
      gfx::ClipBlit(gfx::DrawableArea(*dest, clip), src->Width(), src->Height(), dstX, dstY, srcX, srcY, width, height);
  if (span.width <= 0) return;
  if (dest == src) {
    // Overlapping parts of one bitmap: blend from a copy, so no pixel is read after it was
    // written.
    const LICE_Rect from{span.srcX, span.srcY, span.srcX + span.width, span.srcY + span.height};
    const LICE_Rect to{span.dstX, span.dstY, span.dstX + span.width, span.dstY + span.height};
    if (!gfx::Intersect(from, to).Empty()) {
      LICE_MemBitmap copy(span.width, span.height);
      if (copy.Bits() == nullptr) return;
      LICE_Blit(&copy, src, 0, 0, span.srcX, span.srcY, span.width, span.height, 1.0f, LICE_BlendMode::kCopy);
      LICE_Blit(dest, &copy, span.dstX, span.dstY, 0, 0, span.width, span.height, weight, mode);
      return;
    }
  }
  const int dstSpan = dest->RowSpan();
  const int srcSpan = src->RowSpan();
  for (int row = 0; row < span.height; ++row) {
    LICE_pixel* d = dest->Bits() + static_cast<std::ptrdiff_t>(span.dstY + row) * dstSpan + span.dstX;
    const LICE_pixel* s = src->Bits() + static_cast<std::ptrdiff_t>(span.srcY + row) * srcSpan + span.srcX;
    gfx::BlendRow(d, s, span.width, factor, mode);
  }
}

void LICE_FillRect(LICE_IBitmap* dest, const LICE_Rect& rect, LICE_pixel color, float weight, LICE_BlendMode mode,
                   const LICE_Rect* clip) {
  if (dest == nullptr) return;
  const int factor = gfx::WeightFactor(weight);
  const LICE_Rect r = gfx::Intersect(gfx::DrawableArea(*dest, clip), rect);
  if (r.Empty() || factor == 0) return;
  for (int y = r.top; y < r.bottom; ++y) {
    gfx::FillRow(dest->Bits() + static_cast<std::ptrdiff_t>(y) * dest->RowSpan() + r.left, color, r.Width(), factor,
                 mode);
  }
}

void LICE_DrawRect(LICE_IBitmap* dest, const LICE_Rect& rect, LICE_pixel color, float weight, LICE_BlendMode mode,
                   const LICE_Rect* clip) {
  if (rect.Empty()) return;
  // Four edges that never overlap, so a blended outline darkens every pixel once.
  LICE_FillRect(dest, {rect.left, rect.top, rect.right, rect.top + 1}, color, weight, mode, clip);
  if (rect.Height() > 1) {
    LICE_FillRect(dest, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, color, weight, mode, clip);
  }
  if (rect.Height() > 2) {
    LICE_FillRect(dest, {rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, color, weight, mode, clip);
    if (rect.Width() > 1) {
      LICE_FillRect(dest, {rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, color, weight, mode, clip);
    }
  }
}

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color, const LICE_Rect* clip) {
  if (dest == nullptr) return;
  LICE_FillRect(dest, gfx::DrawableArea(*dest, clip), color, 1.0f, LICE_BlendMode::kCopy);
}
