// The drawing layer's public interface: 32-bit bitmaps with alpha, blits, fills, anti-aliased
// circles, cached fonts and PNG decoding. Every blend is computed by the same code on every
// platform (gfx/Blend.h); only the system bitmap and the font rasteriser differ per platform.
// Nothing here is thread-safe unless it says so: a bitmap is drawn by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

// A pixel: 0xAARRGGBB in a 32-bit word, so in memory (little-endian) the bytes are B, G, R, A,
// the order of a 32-bit Windows DIB section and of a 24/32-depth X11 ZPixmap. Colours are not
// premultiplied: R, G and B are the colour whatever the alpha.
using LICE_pixel = std::uint32_t;

constexpr LICE_pixel LICE_RGBA(int r, int g, int b, int a) {
  return (static_cast<LICE_pixel>(a & 255) << 24) | (static_cast<LICE_pixel>(r & 255) << 16) |
         (static_cast<LICE_pixel>(g & 255) << 8) | static_cast<LICE_pixel>(b & 255);
}
constexpr int LICE_GETA(LICE_pixel p) { return static_cast<int>((p >> 24) & 255); }
constexpr int LICE_GETR(LICE_pixel p) { return static_cast<int>((p >> 16) & 255); }
constexpr int LICE_GETG(LICE_pixel p) { return static_cast<int>((p >> 8) & 255); }
constexpr int LICE_GETB(LICE_pixel p) { return static_cast<int>(p & 255); }

// A rectangle in pixels: left and top inclusive, right and bottom exclusive.
struct LICE_Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

// How a source is combined with what lies below it, at a weight 0..1 (values outside are
// clamped):
//   kCopy:  dst = dst + (src - dst) * weight, alpha included (weight 1 copies exactly);
//   kAdd:   dst = min(255, dst + src * weight) per colour channel, alpha likewise;
//   kAlpha: a = src alpha / 255 * weight; dst = dst + (src - dst) * a per colour channel and
//           dst alpha = dst alpha + (255 - dst alpha) * a (source-over).
// Results are rounded to the nearest integer.
enum class LICE_BlendMode { kCopy, kAdd, kAlpha };

// ---- Bitmaps ------------------------------------------------------------------------------

class LICE_IBitmap {
 public:
  virtual ~LICE_IBitmap() = default;
  // The first pixel of the top row; rows are RowSpan() pixels apart. Null when empty.
  virtual LICE_pixel* Bits() = 0;
  virtual const LICE_pixel* Bits() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int RowSpan() const = 0;
  // New size, contents undefined; false (and an empty bitmap) when memory or the system
  // refuses. Sizes below 0 count as 0.
  virtual bool Resize(int width, int height) = 0;
  // The platform's drawing context for this bitmap (an HDC for a Windows system bitmap),
  // null for memory bitmaps and on platforms without one.
  virtual void* DrawingContext() { return nullptr; }
};

// A bitmap in ordinary memory (decoded images, scratch surfaces).
class LICE_MemBitmap : public LICE_IBitmap {
 public:
  LICE_MemBitmap() = default;
  LICE_MemBitmap(int width, int height);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* Bits() override { return bits_; }
  const LICE_pixel* Bits() const override { return bits_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int RowSpan() const override { return width_; }
  bool Resize(int width, int height) override;

 private:
  LICE_pixel* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// A bitmap the platform can present on a window: a 32-bit top-down DIB section selected into
// its own memory device context on Windows; on Linux plain memory in the layout of a
// 32-bit ZPixmap, which the window puts on the screen with XPutImage.
class LICE_SysBitmap : public LICE_IBitmap {
 public:
  LICE_SysBitmap() = default;
  LICE_SysBitmap(int width, int height);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* Bits() override { return bits_; }
  const LICE_pixel* Bits() const override { return bits_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int RowSpan() const override { return rowSpan_; }
  bool Resize(int width, int height) override;
  void* DrawingContext() override;

 private:
  struct Native;  // the platform's part (DIB section and device context on Windows)
  Native* native_ = nullptr;
  LICE_pixel* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int rowSpan_ = 0;
};

// ---- Drawing --------------------------------------------------------------------------------
// Every operation clips to the destination bitmap and, when `clip` is given, to that rectangle
// too; nothing is ever written outside both. Coordinates may be negative or beyond the bitmap.

// Copies the source rectangle (srcX, srcY, width, height; clipped to the source) to (dstX, dstY).
void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int srcX, int srcY, int width,
               int height, float weight, LICE_BlendMode mode, const LICE_Rect* clip = nullptr);
// Fills a rectangle with a colour; the colour's own alpha takes part in kAlpha mode.
void LICE_FillRect(LICE_IBitmap* dest, const LICE_Rect& rect, LICE_pixel color, float weight, LICE_BlendMode mode,
                   const LICE_Rect* clip = nullptr);
// Draws a one-pixel rectangle outline inside `rect`.
void LICE_DrawRect(LICE_IBitmap* dest, const LICE_Rect& rect, LICE_pixel color, float weight, LICE_BlendMode mode,
                   const LICE_Rect* clip = nullptr);
// Fills a circle centred at (cx, cy) (pixel centres lie at +0.5) with anti-aliased edges: each
// pixel is weighted by the fraction of its area inside the circle.
void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float radius, LICE_pixel color, float weight,
                     LICE_BlendMode mode, const LICE_Rect* clip = nullptr);
// Sets every pixel (inside clip) to the colour.
void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color, const LICE_Rect* clip = nullptr);

// ---- Text -------------------------------------------------------------------------------------

// Text flags for LICE_IFont::DrawText.
enum : int {
  LICE_TEXT_LEFT = 0,
  LICE_TEXT_CENTER = 1,
  LICE_TEXT_RIGHT = 2,
  LICE_TEXT_VCENTER = 4,  // centred vertically in the rectangle (else at its top)
  LICE_TEXT_MEASURE = 8,  // draw nothing: set the rectangle's right and bottom to fit the text
};

// A font: one face at one size, weight and slant. Size is the character cell height in
// pixels (the height given to Windows' CreateFont), so a size-12 text is about 12 pixels
// from the top of its accents to the bottom of its descenders on every platform.
class LICE_IFont {
 public:
  virtual ~LICE_IFont() = default;
  // Draws one line of UTF-8 text (at most `length` bytes, -1: up to the terminator) into the
  // rectangle with the colour (its alpha times `alpha`), anti-aliased, clipped to the bitmap
  // and to `clip`. With LICE_TEXT_MEASURE nothing is drawn and the rectangle's right and bottom
  // become left + text width and top + line height. Answers the line height in pixels.
  // The rectangle only places the text: text wider than it runs over its edges unless `clip`
  // stops it. Malformed UTF-8 shows as replacement characters. (A file that also includes
  // <windows.h> must #undef its DrawText macro.) Fonts are thread-safe: each serialises its
  // own drawing.
  virtual int DrawText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags, LICE_pixel color,
                       float alpha = 1.0f, const LICE_Rect* clip = nullptr) = 0;
};

// The platform's font: GDI on Windows (CreateFont by face name, antialiased quality), FreeType
// with fontconfig on Linux (the face name is matched by fontconfig, so "Arial" becomes whatever
// the system offers for it). A face that cannot be found falls back to the default sans face.
class LICE_CachedFont : public LICE_IFont {
 public:
  LICE_CachedFont(const char* face, int size, int weight, bool italic);
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;
  int DrawText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags, LICE_pixel color,
               float alpha = 1.0f, const LICE_Rect* clip = nullptr) override;

 private:
  struct Native;
  Native* native_ = nullptr;
};

// The process-wide font cache: one font per (face, size, weight, italic), created on first use
// and kept until the process ends. Thread-safe. Weight is 100..900 (400 normal, 700 bold).
LICE_IFont* LICE_GetFont(const char* face, int size, int weight = 400, bool italic = false);

// ---- Images -----------------------------------------------------------------------------------

// Decodes PNG bytes through libpng into a new memory bitmap (any PNG colour type becomes
// 32-bit pixels with alpha); null when the bytes are not a PNG or are damaged. The caller
// owns the bitmap.
LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, std::size_t size);
// The PNG resource with this numeric id ("#101", type "PNG") of the plug-in library,
// decoded once per process and shared by every instance (a process-wide cache under its own
// lock; the bitmaps live until the process ends). Null when missing or not a PNG. Thread-safe.
const LICE_IBitmap* LICE_CachedPngResource(int id);
// How many resources the cache has decoded so far (for tests).
int LICE_CachedPngCount();
// The drawing of a strip at `percent` % of its size, from the same process-wide cache:
// `id` is the resource drawn at 100 %, `doubleId` the same drawing made at 200 %. 100 and 200
// answer those resources; any other scale is resampled from the 200 % drawing (LICE_ResampleStrip)
// once per (id, percent) per process, each of the `frames` frames becoming
// round(frame pitch x percent / 200) pixels high. Where the 200 % drawing is missing, the 100 %
// one is resampled instead. Null when neither exists. Thread-safe.
const LICE_IBitmap* LICE_CachedScaledPng(int id, int doubleId, int frames, int percent);
// Bytes held by the cache's bitmaps (decoded and resampled), for memory figures.
std::size_t LICE_CachedPngBytes();
// A new bitmap `dstWidth` wide holding the `frames` frames of the vertical strip `src`, each
// `dstFramePitch` pixels high, filtered with a three-lobe Lanczos kernel (an area filter where
// it reduces), frame by frame, with premultiplied colours. Null for empty input. The caller
// owns the bitmap.
LICE_MemBitmap* LICE_ResampleStrip(const LICE_IBitmap* src, int frames, int dstWidth, int dstFramePitch);
// Writes a bitmap as a PNG file (tools and tests); false on failure.
bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap);
