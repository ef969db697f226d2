// Fonts on Windows: GDI renders the text, white on black and anti-aliased, into a DIB
// section; its grey levels become the coverage that the common code blends with the colour
// and alpha (GDI itself cannot blend with alpha).
#include "gfx/FontRasterizer.h"
#include "gfx/PixelMemory.h"

#include "platform/win32/WindowsHeaders.h"

#include <algorithm>

namespace gfx {
namespace {

std::wstring Utf16(const std::u32string& text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (char32_t cp : text) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      wide.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      wide.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      wide.push_back(static_cast<wchar_t>(cp));
    }
  }
  return wide;
}

class GdiFont : public FontRasterizer {
 public:
  GdiFont(HFONT font, HDC dc) : font_(font), dc_(dc) {
    previousFont_ = SelectObject(dc_, font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    lineHeight_ = std::max<int>(1, metrics.tmHeight);
    // Italic and some bold glyphs reach past their advance: room on both sides.
    margin_ = lineHeight_ / 2 + metrics.tmOverhang;
  }
  ~GdiFont() override {
    SelectObject(dc_, previousFont_);
    if (previousBitmap_ != nullptr) SelectObject(dc_, previousBitmap_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    DeleteDC(dc_);
    DeleteObject(font_);
  }

  int LineHeight() const override { return lineHeight_; }

  int Measure(const std::u32string& text) override {
    const std::wstring wide = Utf16(text);
    SIZE size{};
    if (wide.empty() || !GetTextExtentPoint32W(dc_, wide.data(), static_cast<int>(wide.size()), &size)) return 0;
    return size.cx;
  }

  void Render(const std::u32string& text, TextMask* mask) override {
    const std::wstring wide = Utf16(text);
    const int advance = Measure(text);
    mask->left = -margin_;
    mask->top = 0;
    mask->advance = advance;
    mask->width = 0;
    mask->height = 0;
    mask->coverage.clear();
    const int width = advance + 2 * margin_;
    if (wide.empty() || !Surface(width, lineHeight_)) return;
    std::fill(pixels_, pixels_ + static_cast<std::size_t>(surfaceWidth_) * lineHeight_, 0u);
    SetTextColor(dc_, RGB(255, 255, 255));
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    TextOutW(dc_, margin_, 0, wide.data(), static_cast<int>(wide.size()));
    GdiFlush();
    mask->width = width;
    mask->height = lineHeight_;
    mask->coverage.resize(static_cast<std::size_t>(width) * lineHeight_);
    for (int y = 0; y < lineHeight_; ++y) {
      const std::uint32_t* row = pixels_ + static_cast<std::size_t>(y) * surfaceWidth_;
      std::uint8_t* out = mask->coverage.data() + static_cast<std::size_t>(y) * width;
      // Grey anti-aliasing gives equal channels; the largest one also serves sub-pixel output.
      for (int x = 0; x < width; ++x) {
        const std::uint32_t p = row[x];
        out[x] = static_cast<std::uint8_t>(std::max({p & 255u, (p >> 8) & 255u, (p >> 16) & 255u}));
      }
    }
  }

 private:
  // A white-on-black drawing surface at least width x height, selected into the context.
  bool Surface(int width, int height) {
    if (width <= surfaceWidth_ && height <= surfaceHeight_ && bitmap_ != nullptr) return true;
    if (width > kMaxSide || height > kMaxSide) return false;
    if (previousBitmap_ != nullptr) SelectObject(dc_, previousBitmap_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    previousBitmap_ = nullptr;
    surfaceWidth_ = surfaceHeight_ = 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = std::max(width, 64);
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr || bits == nullptr) return false;
    previousBitmap_ = SelectObject(dc_, bitmap_);
    pixels_ = static_cast<std::uint32_t*>(bits);
    surfaceWidth_ = info.bmiHeader.biWidth;
    surfaceHeight_ = height;
    return true;
  }

  HFONT font_;
  HDC dc_;
  HGDIOBJ previousFont_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
  int surfaceWidth_ = 0;
  int surfaceHeight_ = 0;
  int lineHeight_ = 1;
  int margin_ = 0;
};

HFONT MakeFont(const std::wstring& face, int size, int weight, bool italic) {
  // A positive height asks for the cell height; the swiss family makes GDI's substitute for a
  // face it lacks a sans face.
  return CreateFontW(size, 0, 0, 0, weight, italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                     CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, face.c_str());
}

}  // namespace

std::unique_ptr<FontRasterizer> CreateFontRasterizer(const std::string& face, int size, int weight, bool italic) {
  std::u32string codepoints;
  DecodeUtf8(face.c_str(), static_cast<int>(face.size()), &codepoints);
  std::wstring name = Utf16(codepoints);
  if (name.size() >= LF_FACESIZE) name.resize(LF_FACESIZE - 1);
  HFONT font = MakeFont(name, size, weight, italic);
  if (font == nullptr) font = MakeFont(L"", size, weight, italic);
  if (font == nullptr) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) {
    DeleteObject(font);
    return nullptr;
  }
  return std::make_unique<GdiFont>(font, dc);
}

}  // namespace gfx
