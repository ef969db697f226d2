// Pixel storage: plain heap memory, refused rather than thrown when it cannot be had.
#include "gfx/PixelMemory.h"

#include <new>

namespace gfx {

LICE_pixel* AllocatePixels(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  const long long count = static_cast<long long>(width) * height;
  if (count > kMaxPixels) return nullptr;
  return new (std::nothrow) LICE_pixel[static_cast<std::size_t>(count)];
}

void FreePixels(LICE_pixel* pixels) { delete[] pixels; }

bool ResizePixels(LICE_pixel** bits, int* width, int* height, int newWidth, int newHeight) {
  newWidth = newWidth < 0 ? 0 : newWidth;
  newHeight = newHeight < 0 ? 0 : newHeight;
  if (newWidth == 0 || newHeight == 0) newWidth = newHeight = 0;
  if (newWidth == *width && newHeight == *height) return true;
  FreePixels(*bits);
  *bits = nullptr;
  *width = *height = 0;
  if (newWidth == 0) return true;
  *bits = AllocatePixels(newWidth, newHeight);
  if (*bits == nullptr) return false;
  *width = newWidth;
  *height = newHeight;
  return true;
}

}  // namespace gfx
