// The system bitmap on Linux: plain memory laid out as a 32-bit ZPixmap (rows of width
// pixels, B, G, R, A bytes), which the editor window hands to XPutImage as it is.
#include "gfx/LICE.h"
#include "gfx/PixelMemory.h"

struct LICE_SysBitmap::Native {};

LICE_SysBitmap::LICE_SysBitmap(int width, int height) { Resize(width, height); }

LICE_SysBitmap::~LICE_SysBitmap() { gfx::FreePixels(bits_); }

bool LICE_SysBitmap::Resize(int width, int height) {
  const bool done = gfx::ResizePixels(&bits_, &width_, &height_, width, height);
  rowSpan_ = width_;
  return done;
}

void* LICE_SysBitmap::DrawingContext() { return nullptr; }
