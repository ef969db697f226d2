// Drawing helpers of the artwork generator on top of cairo: owned image surfaces, colours,
// rounded shapes, tracked text, blurred shadows and glows, and procedural texture.
// Everything here is deterministic: the same calls give the same pixels on the same fonts.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace artwork {

// A colour with components 0..1, not premultiplied.
struct Colour {
  double r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB with an alpha 0..1.
constexpr Colour Hex(std::uint32_t rgb, double a = 1.0) {
  return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, a};
}
Colour Mix(Colour from, Colour to, double t);
Colour WithAlpha(Colour c, double a);
// Multiplies r, g and b by k (clamped), keeping alpha: k > 1 lightens, k < 1 darkens.
Colour Shade(Colour c, double k);

void SetColour(cairo_t* cr, Colour c);

// An ARGB32 image with its drawing context; frees both on destruction. Drawing code works in
// the image's units (Width x Height); a scale of 2 makes a surface of twice as many pixels
// each way with the context scaled to match, so the same code draws the double-size bitmap.
class Image {
 public:
  Image(int width, int height, int scale = 1);
  ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  cairo_t* Cr() const { return cr_; }
  cairo_surface_t* Surface() const { return surface_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Scale() const { return scale_; }
  // Writes the image as PNG; false when the file cannot be written.
  bool WritePng(const std::string& path) const;

 private:
  int width_;
  int height_;
  int scale_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

struct Rect {
  double x = 0, y = 0, w = 0, h = 0;
  double Right() const { return x + w; }
  double Bottom() const { return y + h; }
  double CentreX() const { return x + w / 2; }
  double CentreY() const { return y + h / 2; }
  Rect Inset(double d) const { return {x + d, y + d, w - 2 * d, h - 2 * d}; }
  Rect Offset(double dx, double dy) const { return {x + dx, y + dy, w, h}; }
};

void RoundedRect(cairo_t* cr, Rect r, double radius);

// Frame `index` (from 0) of a vertical strip of `frames` frames, the rectangle the editor cuts
// from it: frames are Height() / frames pixels high (rounded down) and start where the editor
// starts them, which for a height that is not a multiple of the count is a fractional pitch.
Rect StripFrame(const Image& image, int frames, int index);

// Keeps drawing inside one frame of a strip for its lifetime, so that glows and shadows
// never spill into the neighbouring frames.
class ClipTo {
 public:
  ClipTo(cairo_t* cr, Rect r) : cr_(cr) {
    cairo_save(cr_);
    cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
    cairo_clip(cr_);
  }
  ~ClipTo() { cairo_restore(cr_); }
  ClipTo(const ClipTo&) = delete;
  ClipTo& operator=(const ClipTo&) = delete;

 private:
  cairo_t* cr_;
};
// A linear gradient from top to bottom of r (stops at 0 and 1).
cairo_pattern_t* VerticalGradient(Rect r, Colour top, Colour bottom);

// Fonts are the ones Debian installs: Liberation Sans (and Narrow) and DejaVu Sans.
struct Font {
  const char* face = "Liberation Sans";
  double size = 8;
  bool bold = false;
  bool italic = false;
  double tracking = 0;  // extra pixels after every character
};
enum class Align { kLeft, kCentre, kRight };

double TextWidth(cairo_t* cr, const Font& font, std::string_view text);
// Draws UTF-8 text on a baseline; x is the left edge, the centre or the right edge.
// Positions are rounded to whole pixels so small print stays crisp.
void DrawText(cairo_t* cr, const Font& font, double x, double baseline, Align align, std::string_view text,
              Colour colour);
// Adds the outlines of the text, laid out as DrawText would, to the current path (for glows
// and shadows of lettering).
void TextPath(cairo_t* cr, const Font& font, double x, double baseline, Align align, std::string_view text);
// The height of capitals above the baseline for a font.
double CapHeight(cairo_t* cr, const Font& font);
// Text centred on (cx, cy), vertically by its capital height.
void DrawTextCentred(cairo_t* cr, const Font& font, double cx, double cy, std::string_view text, Colour colour);

// The scale of the image a context draws on (Image::Scale), 1 for other surfaces.
int ScaleOf(cairo_t* cr);

// Paints the shape (a path built by `shape` in the context's coordinates) blurred by
// `radius` pixels and moved by (dx, dy) in the given colour: drop shadows, glows, recesses.
// `bounds` (in the context's coordinates) must contain the shape; the blur may reach about
// 1.5 `radius` pixels beyond it. The offset and radius are in the image's units.
void BlurredShape(cairo_t* cr, Rect bounds, const std::function<void(cairo_t*)>& shape, double dx, double dy,
                  int radius, Colour colour);

// A small deterministic generator for texture noise.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  std::uint32_t Next();
  // -1..1
  double Signed();

 private:
  std::uint32_t state_;
};

// Adds brushed-looking grain to the pixels of r: every pixel moves by up to `amount` (0..1)
// in lightness, with horizontal streaks of `streak` pixels (image units).
void AddGrain(Image& image, Rect r, double amount, int streak, std::uint32_t seed);

}  // namespace artwork
