// Text through the platform's fonts: measured widths grow with the text and the size, the
// size is the cell height, unknown faces fall back to a sans face, and drawing honours the
// alignment, colour, alpha and clip.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "gfx/FontRasterizer.h"
#include "gfx/LICE.h"

namespace {

int MeasureWidth(LICE_IFont* font, const char* text, int* height = nullptr) {
  LICE_Rect rect{10, 20, 10, 20};
  font->DrawText(nullptr, text, -1, &rect, LICE_TEXT_MEASURE, 0);
  if (height != nullptr) *height = rect.Height();
  return rect.Width();
}

// The columns and rows that text changed on a black bitmap.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, pixels = 0, maxRed = 0;
};
Ink FindInk(const LICE_IBitmap& bitmap) {
  Ink ink;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      const LICE_pixel p = bitmap.Bits()[y * bitmap.RowSpan() + x];
      if ((p & 0xFFFFFF) == 0) continue;
      ++ink.pixels;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x + 1);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y + 1);
      ink.maxRed = std::max(ink.maxRed, LICE_GETR(p));
    }
  }
  return ink;
}

TEST(TextTest, MeasuredWidthGrowsWithTextAndSize) {
  for (const char* face : {"Arial", "Verdana"}) {
    SCOPED_TRACE(face);
    LICE_IFont* font12 = LICE_GetFont(face, 12);
    LICE_IFont* font20 = LICE_GetFont(face, 20);
    int height = 0;
    const int shortWidth = MeasureWidth(font12, "Tune", &height);
    EXPECT_EQ(height, 12);  // the size is the cell height
    EXPECT_GT(shortWidth, 12);
    EXPECT_GT(MeasureWidth(font12, "Tune Tune"), shortWidth + 12);
    EXPECT_GT(MeasureWidth(font20, "Tune"), shortWidth * 3 / 2);
    MeasureWidth(font20, "Tune", &height);
    EXPECT_EQ(height, 20);
    EXPECT_EQ(MeasureWidth(font12, ""), 0);
  }
  // Bold is wider than regular.
  EXPECT_GT(MeasureWidth(LICE_GetFont("Arial", 16, 700), "Resonance"),
            MeasureWidth(LICE_GetFont("Arial", 16), "Resonance"));
}

TEST(TextTest, ArialIsAsWideAsOnWindows) {
  // Arial's advances at a 16-pixel cell (em 16 x 2048 / 2288 = 14.3 px), rounded per glyph as
  // GDI does: V 10, o 8, l 3, u 8, m 12, e 8 = 49 pixels; metric-compatible substitutes land
  // within a few pixels of that.
  const int width = MeasureWidth(LICE_GetFont("Arial", 16), "Volume");
  EXPECT_GE(width, 45);
  EXPECT_LE(width, 53);
}

TEST(TextTest, AFaceThatDoesNotExistFallsBackToText) {
  LICE_IFont* font = LICE_GetFont("No Such Face Anywhere 7", 14);
  EXPECT_GT(MeasureWidth(font, "Cutoff"), 20);
  LICE_MemBitmap bitmap(100, 30);
  LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
  LICE_Rect rect{0, 0, 100, 30};
  EXPECT_EQ(font->DrawText(&bitmap, "Cutoff", -1, &rect, LICE_TEXT_LEFT, LICE_RGBA(255, 255, 255, 255)), 14);
  EXPECT_GT(FindInk(bitmap).pixels, 30);
  // An empty face name asks for the default face.
  EXPECT_GT(MeasureWidth(LICE_GetFont("", 14), "Cutoff"), 20);
}

TEST(TextTest, TheCacheKeepsOneFontPerFaceSizeWeightAndSlant) {
  EXPECT_EQ(LICE_GetFont("Arial", 13), LICE_GetFont("Arial", 13, 400, false));
  EXPECT_NE(LICE_GetFont("Arial", 13), LICE_GetFont("Arial", 14));
  EXPECT_NE(LICE_GetFont("Arial", 13), LICE_GetFont("Arial", 13, 700));
  EXPECT_NE(LICE_GetFont("Arial", 13), LICE_GetFont("Arial", 13, 400, true));
  EXPECT_NE(LICE_GetFont("Arial", 13), LICE_GetFont("Verdana", 13));
}

TEST(TextTest, AlignmentPlacesTheTextInItsRectangle) {
  LICE_IFont* font = LICE_GetFont("Arial", 14);
  const int width = MeasureWidth(font, "Spread");
  const int flags[] = {LICE_TEXT_LEFT, LICE_TEXT_CENTER, LICE_TEXT_RIGHT};
  const int expectedLeft[] = {20, 20 + (160 - width) / 2, 180 - width};
  for (int i = 0; i < 3; ++i) {
    LICE_MemBitmap bitmap(200, 60);
    LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
    LICE_Rect rect{20, 10, 180, 50};
    font->DrawText(&bitmap, "Spread", -1, &rect, flags[i] | LICE_TEXT_VCENTER, LICE_RGBA(255, 255, 255, 255));
    const Ink ink = FindInk(bitmap);
    ASSERT_GT(ink.pixels, 0);
    // Glyphs start within a pixel or two of the pen (their side bearing) and stay in the text.
    EXPECT_NEAR(ink.left, expectedLeft[i], 2) << flags[i];
    EXPECT_NEAR(ink.right, expectedLeft[i] + width, 3) << flags[i];
    // Vertically centred: the 14-pixel cell starts at 10 + (40 - 14) / 2 = 23.
    EXPECT_GE(ink.top, 23);
    EXPECT_LE(ink.bottom, 23 + 14 + 1);
  }
}

TEST(TextTest, ColourAlphaAndClipApply) {
  LICE_IFont* font = LICE_GetFont("Arial", 16, 700);
  LICE_MemBitmap bitmap(120, 30);
  LICE_Rect rect{0, 0, 120, 30};
  // Full colour: the strongest pixel is the colour itself.
  LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
  font->DrawText(&bitmap, "MMMM", -1, &rect, 0, LICE_RGBA(200, 0, 0, 255));
  EXPECT_EQ(FindInk(bitmap).maxRed, 200);
  // White at alpha 128 and a further half: the strongest pixel reaches a quarter.
  LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
  font->DrawText(&bitmap, "MMMM", -1, &rect, 0, LICE_RGBA(255, 255, 255, 128), 0.5f);
  EXPECT_NEAR(FindInk(bitmap).maxRed, 64, 1);
  EXPECT_EQ(LICE_GETA(bitmap.Bits()[0]), 255);
  // A transparent colour draws nothing; the clip keeps the text inside.
  LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
  font->DrawText(&bitmap, "MMMM", -1, &rect, 0, LICE_RGBA(255, 255, 255, 0));
  EXPECT_EQ(FindInk(bitmap).pixels, 0);
  const LICE_Rect clip{10, 0, 20, 30};
  font->DrawText(&bitmap, "MMMM", -1, &rect, 0, LICE_RGBA(255, 255, 255, 255), 1.0f, &clip);
  const Ink ink = FindInk(bitmap);
  EXPECT_GT(ink.pixels, 0);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 20);
  // Text running off the bitmap's edges is cut there.
  LICE_Rect offside{-30, -8, 150, 30};
  font->DrawText(&bitmap, "MMMMMMMMMMMM", -1, &offside, 0, LICE_RGBA(255, 255, 255, 255));
}

TEST(TextTest, LengthLimitsTheBytesDrawn) {
  LICE_IFont* font = LICE_GetFont("Arial", 12);
  LICE_Rect rect{0, 0, 0, 0};
  font->DrawText(nullptr, "Bend Bend", 4, &rect, LICE_TEXT_MEASURE, 0);
  EXPECT_EQ(rect.Width(), MeasureWidth(font, "Bend"));
  // Non-ASCII text is UTF-8: "Détune" measures like other six-letter words, not like seven.
  EXPECT_LT(MeasureWidth(font, "D\xC3\xA9tune"), MeasureWidth(font, "Detunee"));
}

TEST(TextTest, TwoThreadsDrawingOneFontGetTheSamePixels) {
  // Two editors drawing on their own threads share the cached font (one FreeType face).
  LICE_IFont* font = LICE_GetFont("Verdana", 13);
  LICE_MemBitmap bitmaps[2] = {{160, 20}, {160, 20}};
  auto draw = [font](LICE_MemBitmap* bitmap) {
    for (int i = 0; i < 40; ++i) {
      LICE_Clear(bitmap, LICE_RGBA(0, 0, 0, 255));
      LICE_Rect rect{0, 0, 160, 20};
      font->DrawText(bitmap, "Chorus Phaser Ensemble", -1, &rect, LICE_TEXT_CENTER, LICE_RGBA(255, 255, 255, 255));
    }
  };
  std::thread other(draw, &bitmaps[1]);
  draw(&bitmaps[0]);
  other.join();
  EXPECT_GT(FindInk(bitmaps[0]).pixels, 50);
  for (int i = 0; i < 160 * 20; ++i) ASSERT_EQ(bitmaps[0].Bits()[i], bitmaps[1].Bits()[i]) << i;
}

TEST(Utf8Test, MalformedSequencesBecomeReplacementCharacters) {
  std::u32string out;
  gfx::DecodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB9", -1, &out);
  EXPECT_EQ(out, (std::u32string{U'a', 0xE9, 0x20AC, 0x1F3B9}));
  gfx::DecodeUtf8(
      "\xC0\xAF"
      "b\xED\xA0\x80"
      "c\xE2\x82",
      -1, &out);  // overlong, surrogate, cut
  EXPECT_EQ(out, (std::u32string{0xFFFD, 0xFFFD, U'b', 0xFFFD, 0xFFFD, 0xFFFD, U'c', 0xFFFD, 0xFFFD}));
  gfx::DecodeUtf8("ab\0cd", 5, &out);  // never past a terminator
  EXPECT_EQ(out, std::u32string(U"ab"));
  gfx::DecodeUtf8(nullptr, 3, &out);
  EXPECT_TRUE(out.empty());
}

}  // namespace
