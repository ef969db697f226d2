// What the text drawing needs of a platform's font engine: the metrics of one font and a
// line of text rendered as 8-bit coverage. Alignment, clipping and blending are common
// (gfx/Text.cpp), so every platform places and blends text the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gfx {

// A line of text as coverage 0..255. Coordinates are relative to the text's origin: the
// pen's start on the left and the top of the character cell.
struct TextMask {
  int left = 0;  // column of the mask's first pixel (negative where a glyph overhangs)
  int top = 0;   // row of the mask's first pixel (negative for marks above the cell)
  int width = 0;
  int height = 0;
  int advance = 0;                     // the text's width: where the pen ends
  std::vector<std::uint8_t> coverage;  // width x height, row by row
};

// One font of one platform. Not thread-safe: the caller serialises every use of an object.
class FontRasterizer {
 public:
  virtual ~FontRasterizer() = default;
  // Height of the character cell in pixels (the line height).
  virtual int LineHeight() const = 0;
  // The pen advance of the text in pixels.
  virtual int Measure(const std::u32string& text) = 0;
  // Renders the text; the mask covers every pixel that any glyph touches.
  virtual void Render(const std::u32string& text, TextMask* mask) = 0;
};

// The platform's font for a face name, cell height in pixels (1 or more), weight 100..900
// and slant. A face the system does not have falls back to its default sans face; null only
// when the system has no usable font at all.
std::unique_ptr<FontRasterizer> CreateFontRasterizer(const std::string& face, int size, int weight, bool italic);

// Decodes at most `length` bytes of UTF-8 (up to the terminator when length < 0, and never
// past one) into code points. Malformed sequences become U+FFFD, one per bad byte.
void DecodeUtf8(const char* text, int length, std::u32string* out);

}  // namespace gfx
