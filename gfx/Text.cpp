// Text drawing shared by every platform: UTF-8 decoding, alignment, clipping and blending of
// the coverage that the platform's font engine renders, and the process-wide font cache.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gfx/Blend.h"
#include "gfx/FontRasterizer.h"

namespace gfx {

void DecodeUtf8(const char* text, int length, std::u32string* out) {
  out->clear();
  if (text == nullptr) return;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const std::size_t end = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
  std::size_t i = 0;
  while (i < end && bytes[i] != 0) {
    const unsigned lead = bytes[i];
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
      out->push_back(0xFFFD);
      ++i;
      continue;
    }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= end || (bytes[i + k] & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (bytes[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if (!valid || cp < minimum || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      out->push_back(0xFFFD);
      ++i;
      continue;
    }
    out->push_back(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
}

}  // namespace gfx

// One font's engine, and scratch space reused from call to call; the mutex serialises the
// instances (and threads) that share the cached font.
struct LICE_CachedFont::Native {
  std::mutex mutex;
  std::unique_ptr<gfx::FontRasterizer> raster;
  std::u32string text;
  gfx::TextMask mask;
};

LICE_CachedFont::LICE_CachedFont(const char* face, int size, int weight, bool italic) : native_(new Native) {
  native_->raster = gfx::CreateFontRasterizer(face != nullptr ? face : "", std::clamp(size, 1, 1024),
                                              std::clamp(weight, 100, 900), italic);
}

LICE_CachedFont::~LICE_CachedFont() { delete native_; }

int LICE_CachedFont::DrawText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags,
                              LICE_pixel color, float alpha, const LICE_Rect* clip) {
  std::lock_guard<std::mutex> lock(native_->mutex);
  gfx::FontRasterizer* raster = native_->raster.get();
  if (raster == nullptr || rect == nullptr) return 0;
  const int lineHeight = raster->LineHeight();
  gfx::DecodeUtf8(text, length, &native_->text);
  if ((flags & LICE_TEXT_MEASURE) != 0) {
    rect->right = rect->left + raster->Measure(native_->text);
    rect->bottom = rect->top + lineHeight;
    return lineHeight;
  }
  const int factor = gfx::WeightFactor(alpha);
  if (dest == nullptr || native_->text.empty() || factor == 0 || LICE_GETA(color) == 0) return lineHeight;
  gfx::TextMask& mask = native_->mask;
  raster->Render(native_->text, &mask);

  int x = rect->left;
  if ((flags & LICE_TEXT_CENTER) != 0) {
    x = rect->left + (rect->Width() - mask.advance) / 2;
  } else if ((flags & LICE_TEXT_RIGHT) != 0) {
    x = rect->right - mask.advance;
  }
  int y = rect->top;
  if ((flags & LICE_TEXT_VCENTER) != 0) y = rect->top + (rect->Height() - lineHeight) / 2;

  const LICE_Rect area = gfx::DrawableArea(*dest, clip);
  const LICE_Rect box =
      gfx::Intersect(area, {x + mask.left, y + mask.top, x + mask.left + mask.width, y + mask.top + mask.height});
  for (int row = box.top; row < box.bottom; ++row) {
    const std::uint8_t* coverage = mask.coverage.data() + static_cast<std::size_t>(row - (y + mask.top)) * mask.width +
                                   (box.left - (x + mask.left));
    LICE_pixel* pixels = dest->Bits() + static_cast<std::ptrdiff_t>(row) * dest->RowSpan() + box.left;
    gfx::CoverageRow(pixels, color, coverage, box.Width(), factor, LICE_BlendMode::kAlpha);
  }
  return lineHeight;
}

namespace {

struct FontEntry {
  std::string face;
  int size;
  int weight;
  bool italic;
  std::unique_ptr<LICE_CachedFont> font;
};

struct FontCache {
  std::mutex mutex;
  std::vector<FontEntry> fonts;
};

}  // namespace

LICE_IFont* LICE_GetFont(const char* face, int size, int weight, bool italic) {
  static FontCache cache;
  const std::string name = face != nullptr ? face : "";
  std::lock_guard<std::mutex> lock(cache.mutex);
  for (const FontEntry& entry : cache.fonts) {
    if (entry.size == size && entry.weight == weight && entry.italic == italic && entry.face == name) {
      return entry.font.get();
    }
  }
  cache.fonts.push_back(
      {name, size, weight, italic, std::make_unique<LICE_CachedFont>(name.c_str(), size, weight, italic)});
  return cache.fonts.back().font.get();
}
