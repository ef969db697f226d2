// The blend arithmetic and clipping, pixel by pixel: copy, add with saturation and source
// alpha at weights 0, 0.25 and 1, fills and outlines, and blits cut at every edge.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx/Blend.h"
#include "gfx/LICE.h"

namespace {

constexpr LICE_pixel kDst = LICE_RGBA(100, 200, 50, 255);
constexpr LICE_pixel kSrc = LICE_RGBA(200, 0, 250, 128);

// One pixel blitted onto one pixel.
LICE_pixel BlitOne(LICE_pixel dst, LICE_pixel src, float weight, LICE_BlendMode mode) {
  LICE_MemBitmap d(1, 1), s(1, 1);
  d.Bits()[0] = dst;
  s.Bits()[0] = src;
  LICE_Blit(&d, &s, 0, 0, 0, 0, 1, 1, weight, mode);
  return d.Bits()[0];
}

void ExpectPixel(LICE_pixel actual, int r, int g, int b, int a) {
  EXPECT_EQ(LICE_GETR(actual), r);
  EXPECT_EQ(LICE_GETG(actual), g);
  EXPECT_EQ(LICE_GETB(actual), b);
  EXPECT_EQ(LICE_GETA(actual), a);
}

TEST(BlendTest, PixelLayoutIsBgraInMemory) {
  const LICE_pixel p = LICE_RGBA(1, 2, 3, 4);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&p);
  EXPECT_EQ(bytes[0], 3);  // blue first, as in a DIB section and a 32-bit ZPixmap
  EXPECT_EQ(bytes[1], 2);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[3], 4);
}

TEST(BlendTest, CopyMovesEveryChannelByTheWeight) {
  ExpectPixel(BlitOne(kDst, kSrc, 1.0f, LICE_BlendMode::kCopy), 200, 0, 250, 128);
  ExpectPixel(BlitOne(kDst, kSrc, 0.0f, LICE_BlendMode::kCopy), 100, 200, 50, 255);
  // A quarter of the way: 100 + 25, 200 - 50, 50 + 50, 255 - 31.75 (rounded to 223).
  ExpectPixel(BlitOne(kDst, kSrc, 0.25f, LICE_BlendMode::kCopy), 125, 150, 100, 223);
  // Weights outside 0..1 are clamped.
  ExpectPixel(BlitOne(kDst, kSrc, 7.0f, LICE_BlendMode::kCopy), 200, 0, 250, 128);
  ExpectPixel(BlitOne(kDst, kSrc, -1.0f, LICE_BlendMode::kCopy), 100, 200, 50, 255);
  ExpectPixel(BlitOne(kDst, kSrc, std::nanf(""), LICE_BlendMode::kCopy), 100, 200, 50, 255);
}

TEST(BlendTest, AddSaturatesEachChannelAt255) {
  const LICE_pixel dst = LICE_RGBA(100, 200, 50, 10);
  ExpectPixel(BlitOne(dst, kSrc, 1.0f, LICE_BlendMode::kAdd), 255, 200, 255, 138);
  ExpectPixel(BlitOne(dst, kSrc, 0.0f, LICE_BlendMode::kAdd), 100, 200, 50, 10);
  // 100 + 50, 200 + 0, 50 + 62.5 (rounded up), 10 + 32.
  ExpectPixel(BlitOne(dst, kSrc, 0.25f, LICE_BlendMode::kAdd), 150, 200, 113, 42);
  ExpectPixel(BlitOne(LICE_RGBA(255, 255, 255, 255), LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kAdd), 255,
              255, 255, 255);
}

TEST(BlendTest, AlphaWeighsTheSourceByItsAlphaAndTheWeight) {
  // a = 128 / 255: 100 + 100 a = 150.2, 200 - 200 a = 99.6, 50 + 200 a = 150.4; alpha stays 255.
  ExpectPixel(BlitOne(kDst, kSrc, 1.0f, LICE_BlendMode::kAlpha), 150, 100, 150, 255);
  ExpectPixel(BlitOne(kDst, kSrc, 0.0f, LICE_BlendMode::kAlpha), 100, 200, 50, 255);
  // a = 128 / 255 / 4 = 0.1255: 112.5, 174.9, 75.1.
  ExpectPixel(BlitOne(kDst, kSrc, 0.25f, LICE_BlendMode::kAlpha), 113, 175, 75, 255);
  // An opaque source replaces; a transparent one leaves everything.
  ExpectPixel(BlitOne(kDst, LICE_RGBA(1, 2, 3, 255), 1.0f, LICE_BlendMode::kAlpha), 1, 2, 3, 255);
  ExpectPixel(BlitOne(kDst, LICE_RGBA(1, 2, 3, 0), 1.0f, LICE_BlendMode::kAlpha), 100, 200, 50, 255);
  // Source-over alpha: 64 + (255 - 64) * 128 / 255 = 159.9.
  ExpectPixel(BlitOne(LICE_RGBA(0, 0, 0, 64), LICE_RGBA(255, 255, 255, 128), 1.0f, LICE_BlendMode::kAlpha), 128, 128,
              128, 160);
}

TEST(BlendTest, AlphaAgreesWithExactArithmeticForEveryAlpha) {
  for (int alpha = 0; alpha <= 255; ++alpha) {
    for (float weight : {0.25f, 0.5f, 1.0f}) {
      const LICE_pixel out =
          BlitOne(LICE_RGBA(0, 255, 37, 255), LICE_RGBA(255, 0, 201, alpha), weight, LICE_BlendMode::kAlpha);
      const double a = alpha / 255.0 * weight;
      EXPECT_NEAR(LICE_GETR(out), 255 * a, 0.51) << alpha << " " << weight;
      EXPECT_NEAR(LICE_GETG(out), 255 - 255 * a, 0.51) << alpha << " " << weight;
      EXPECT_NEAR(LICE_GETB(out), 37 + 164 * a, 0.51) << alpha << " " << weight;
    }
  }
}

TEST(BlendTest, FillUsesTheColoursAlphaOnlyInAlphaMode) {
  LICE_MemBitmap bitmap(4, 3);
  LICE_Clear(&bitmap, kDst);
  LICE_FillRect(&bitmap, {1, 1, 3, 2}, kSrc, 1.0f, LICE_BlendMode::kAlpha);
  ExpectPixel(bitmap.Bits()[1 * 4 + 1], 150, 100, 150, 255);
  ExpectPixel(bitmap.Bits()[1 * 4 + 2], 150, 100, 150, 255);
  ExpectPixel(bitmap.Bits()[1 * 4 + 3], 100, 200, 50, 255);
  ExpectPixel(bitmap.Bits()[0], 100, 200, 50, 255);
  LICE_FillRect(&bitmap, {0, 2, 4, 3}, kSrc, 0.25f, LICE_BlendMode::kCopy);
  for (int x = 0; x < 4; ++x) ExpectPixel(bitmap.Bits()[2 * 4 + x], 125, 150, 100, 223);
  // The transparent colour leaves everything as it was.
  LICE_FillRect(&bitmap, {0, 0, 4, 3}, LICE_RGBA(255, 255, 255, 0), 1.0f, LICE_BlendMode::kAlpha);
  ExpectPixel(bitmap.Bits()[0], 100, 200, 50, 255);
}

TEST(BlendTest, OutlineTouchesEachBorderPixelOnce) {
  LICE_MemBitmap bitmap(5, 4);
  LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
  LICE_DrawRect(&bitmap, {0, 0, 5, 4}, LICE_RGBA(100, 0, 0, 255), 1.0f, LICE_BlendMode::kAdd);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      const bool border = x == 0 || y == 0 || x == 4 || y == 3;
      EXPECT_EQ(LICE_GETR(bitmap.Bits()[y * 5 + x]), border ? 100 : 0) << x << "," << y;
    }
  }
}

// A 6 x 5 destination of zeros and a 4 x 3 source whose pixel value encodes its place.
class ClipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LICE_Clear(&dst_, 0);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) src_.Bits()[y * 4 + x] = LICE_RGBA(x + 1, y + 1, 9, 255);
    }
  }
  // Every destination pixel: the source pixel expected there (0: untouched).
  void ExpectPlaced(int dx, int dy, const LICE_Rect& visible) {
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 6; ++x) {
        const int sx = x - dx, sy = y - dy;
        const bool inside = x >= visible.left && x < visible.right && y >= visible.top && y < visible.bottom &&
                            sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
        const LICE_pixel expected = inside ? LICE_RGBA(sx + 1, sy + 1, 9, 255) : 0;
        EXPECT_EQ(dst_.Bits()[y * 6 + x], expected) << "at " << x << "," << y << " blit at " << dx << "," << dy;
      }
    }
  }
  LICE_MemBitmap dst_{6, 5};
  LICE_MemBitmap src_{4, 3};
};

TEST_F(ClipTest, BlitsAreCutAtEveryEdgeOfTheDestination) {
  const int places[][2] = {{-2, 1}, {4, 1}, {1, -2}, {1, 3}, {-3, -2}, {5, 4}, {-4, 0}, {6, 0}, {0, 5}, {0, -3}};
  for (const auto& p : places) {
    SetUp();
    LICE_Blit(&dst_, &src_, p[0], p[1], 0, 0, 4, 3, 1.0f, LICE_BlendMode::kCopy);
    ExpectPlaced(p[0], p[1], {0, 0, 6, 5});
  }
}

TEST_F(ClipTest, BlitsAreCutAtTheClipRectangle) {
  const LICE_Rect clip{2, 1, 4, 3};
  LICE_Blit(&dst_, &src_, 1, 0, 0, 0, 4, 3, 1.0f, LICE_BlendMode::kAlpha, &clip);
  ExpectPlaced(1, 0, clip);
  // A clip partly outside the bitmap is cut to it; one wholly outside draws nothing.
  SetUp();
  const LICE_Rect wide{-10, -10, 3, 100};
  LICE_Blit(&dst_, &src_, 1, 1, 0, 0, 4, 3, 1.0f, LICE_BlendMode::kCopy, &wide);
  ExpectPlaced(1, 1, {0, 0, 3, 5});
  SetUp();
  const LICE_Rect away{10, 10, 20, 20};
  LICE_Blit(&dst_, &src_, 1, 1, 0, 0, 4, 3, 1.0f, LICE_BlendMode::kCopy, &away);
  ExpectPlaced(1, 1, {0, 0, 0, 0});
}

TEST_F(ClipTest, SourceRectanglesAreCutToTheSource) {
  // Asking for more than the source has, from before its start: the part that exists lands
  // where it would have landed.
  LICE_Blit(&dst_, &src_, 0, 0, -1, -1, 10, 10, 1.0f, LICE_BlendMode::kCopy);
  ExpectPlaced(1, 1, {0, 0, 6, 5});
  SetUp();
  // One frame of a strip: rows 1 and 2 only.
  LICE_Blit(&dst_, &src_, 2, 2, 0, 1, 4, 2, 1.0f, LICE_BlendMode::kCopy);
  for (int x = 2; x < 6; ++x) {
    EXPECT_EQ(dst_.Bits()[2 * 6 + x], LICE_RGBA(x - 1, 2, 9, 255));
    EXPECT_EQ(dst_.Bits()[3 * 6 + x], LICE_RGBA(x - 1, 3, 9, 255));
    EXPECT_EQ(dst_.Bits()[4 * 6 + x], 0u);
  }
  SetUp();
  LICE_Blit(&dst_, &src_, 0, 0, 4, 0, 4, 3, 1.0f, LICE_BlendMode::kCopy);  // entirely past the source
  ExpectPlaced(0, 0, {0, 0, 0, 0});
}

TEST_F(ClipTest, FillsAreCutToBitmapAndClip) {
  LICE_FillRect(&dst_, {-5, 3, 100, 100}, 7, 1.0f, LICE_BlendMode::kCopy);
  const LICE_Rect clip{1, 0, 2, 5};
  LICE_FillRect(&dst_, {-5, -5, 100, 100}, 8, 1.0f, LICE_BlendMode::kCopy, &clip);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const LICE_pixel expected = x == 1 ? 8 : (y >= 3 ? 7 : 0);
      EXPECT_EQ(dst_.Bits()[y * 6 + x], expected) << x << "," << y;
    }
  }
}

TEST_F(ClipTest, ExtremeCoordinatesDrawNothingAndDoNotWrap) {
  LICE_Blit(&dst_, &src_, 2147483600, 2147483600, 0, 0, 4, 3, 1.0f, LICE_BlendMode::kCopy);
  LICE_Blit(&dst_, &src_, -2147483600, 0, 0, 0, 2147483000, 3, 1.0f, LICE_BlendMode::kCopy);
  LICE_FillRect(&dst_, {2147483000, 0, 2147483647, 5}, 5, 1.0f, LICE_BlendMode::kCopy);
  ExpectPlaced(0, 0, {0, 0, 0, 0});
}

TEST(BlitTest, OverlappingPartsOfOneBitmapBlendFromTheOriginal) {
  for (LICE_BlendMode mode : {LICE_BlendMode::kCopy, LICE_BlendMode::kAdd}) {
    LICE_MemBitmap bitmap(5, 1);
    for (int x = 0; x < 5; ++x) bitmap.Bits()[x] = LICE_RGBA(10 * (x + 1), 0, 0, 255);
    LICE_Blit(&bitmap, &bitmap, 1, 0, 0, 0, 4, 1, 0.5f, mode);
    for (int x = 1; x < 5; ++x) {
      const int before = 10 * (x + 1), moved = 10 * x;
      const int expected = mode == LICE_BlendMode::kCopy ? (before + moved + 1) / 2 : before + moved / 2;
      EXPECT_EQ(LICE_GETR(bitmap.Bits()[x]), expected) << x;
    }
  }
}

TEST(BitmapTest, ResizeRefusesWhatCannotBeAllocated) {
  LICE_MemBitmap bitmap(3, 2);
  ASSERT_NE(bitmap.Bits(), nullptr);
  EXPECT_EQ(bitmap.RowSpan(), 3);
  EXPECT_FALSE(bitmap.Resize(1 << 20, 1 << 20));
  EXPECT_EQ(bitmap.Bits(), nullptr);
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_TRUE(bitmap.Resize(-4, 9));  // counts as empty
  EXPECT_EQ(bitmap.Height(), 0);
  // Drawing into an empty bitmap, or from one, does nothing.
  LICE_MemBitmap other(2, 2);
  LICE_Clear(&other, 1);
  LICE_Blit(&other, &bitmap, 0, 0, 0, 0, 2, 2, 1.0f, LICE_BlendMode::kCopy);
  LICE_Blit(&bitmap, &other, 0, 0, 0, 0, 2, 2, 1.0f, LICE_BlendMode::kCopy);
  LICE_FillRect(&bitmap, {0, 0, 2, 2}, 3, 1.0f, LICE_BlendMode::kCopy);
  EXPECT_EQ(other.Bits()[3], 1u);
}

TEST(BitmapTest, SystemBitmapIsTopDownWithoutPadding) {
  LICE_SysBitmap bitmap(7, 3);
  ASSERT_NE(bitmap.Bits(), nullptr);
  EXPECT_EQ(bitmap.RowSpan(), 7);
  LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
  LICE_FillRect(&bitmap, {0, 0, 7, 1}, LICE_RGBA(255, 0, 0, 255), 1.0f, LICE_BlendMode::kCopy);
  EXPECT_EQ(bitmap.Bits()[0], LICE_RGBA(255, 0, 0, 255));  // row 0 is the top row
  EXPECT_EQ(bitmap.Bits()[7], LICE_RGBA(0, 0, 0, 255));
  EXPECT_TRUE(bitmap.Resize(9, 4));
  EXPECT_EQ(bitmap.RowSpan(), 9);
#ifdef _WIN32
  EXPECT_NE(bitmap.DrawingContext(), nullptr);
#else
  EXPECT_EQ(bitmap.DrawingContext(), nullptr);
#endif
}

}  // namespace
