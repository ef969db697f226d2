// Pixel storage of memory bitmaps (and of the system bitmap where the platform has no
// special memory for it).
#pragma once

#include "gfx/LICE.h"

namespace gfx {

// The largest bitmap side and area the layer allocates: far beyond any editor surface, and
// small enough that byte counts never overflow.
constexpr int kMaxSide = 32768;
constexpr long long kMaxPixels = 1LL << 26;

// width x height pixels, uninitialised; null when either is not positive, too large, or
// memory is short.
LICE_pixel* AllocatePixels(int width, int height);
void FreePixels(LICE_pixel* pixels);
// Gives *bits (width x height pixels, contents undefined) the new size, keeping the memory
// when the size is unchanged. Sizes below 0 count as 0; on failure the bitmap is empty and
// the answer false.
bool ResizePixels(LICE_pixel** bits, int* width, int* height, int newWidth, int newHeight);

}  // namespace gfx
