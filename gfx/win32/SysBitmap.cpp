// The system bitmap on Windows: a 32-bit top-down DIB section selected into its own memory
// device context, so the window paints it with BitBlt and GDI can draw into it.
#include "gfx/LICE.h"
#include "gfx/PixelMemory.h"

#include "platform/win32/WindowsHeaders.h"

struct LICE_SysBitmap::Native {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;  // the context's own bitmap, selected back before deletion
  ~Native() {
    if (dc != nullptr) {
      if (previous != nullptr) SelectObject(dc, previous);
      DeleteDC(dc);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
};

LICE_SysBitmap::LICE_SysBitmap(int width, int height) { Resize(width, height); }

LICE_SysBitmap::~LICE_SysBitmap() { delete native_; }

bool LICE_SysBitmap::Resize(int width, int height) {
  width = width < 0 ? 0 : width;
  height = height < 0 ? 0 : height;
  if (width == 0 || height == 0) width = height = 0;
  if (width == width_ && height == height_) return true;
  delete native_;
  native_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = rowSpan_ = 0;
  if (width == 0) return true;
  if (width > gfx::kMaxSide || height > gfx::kMaxSide || static_cast<long long>(width) * height > gfx::kMaxPixels) {
    return false;
  }

  auto* native = new Native;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: top-down rows, like every other bitmap here
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  native->dc = CreateCompatibleDC(nullptr);
  if (native->dc != nullptr) {
    native->bitmap = CreateDIBSection(native->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  if (native->bitmap == nullptr || bits == nullptr) {
    delete native;
    return false;
  }
  native->previous = SelectObject(native->dc, native->bitmap);
  native_ = native;
  bits_ = static_cast<LICE_pixel*>(bits);
  width_ = width;
  height_ = height;
  rowSpan_ = width;  // 32-bit rows are always whole DWORDs: no padding
  return true;
}

void* LICE_SysBitmap::DrawingContext() { return native_ != nullptr ? native_->dc : nullptr; }
