// Anti-aliased circles: the coverage they paint adds up to their area, their edges are
// soft and symmetric, and they respect bitmap and clip.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx/LICE.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A white circle copied onto black: the red channel of each pixel is its coverage x 255.
double PaintedArea(const LICE_MemBitmap& bitmap) {
  double sum = 0.0;
  for (int i = 0; i < bitmap.Width() * bitmap.Height(); ++i) sum += LICE_GETR(bitmap.Bits()[i]) / 255.0;
  return sum;
}

TEST(CircleTest, CoverageAddsUpToTheAreaWithinOnePercent) {
  const struct {
    float cx, cy, r;
  } circles[] = {{20.0f, 20.0f, 10.0f},  {20.5f, 20.5f, 10.0f}, {20.3f, 19.7f, 3.3f}, {32.0f, 32.0f, 20.0f},
                 {25.25f, 30.8f, 15.6f}, {10.0f, 10.0f, 1.5f},  {40.0f, 40.0f, 0.7f}};
  for (const auto& c : circles) {
    LICE_MemBitmap bitmap(80, 80);
    LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
    LICE_FillCircle(&bitmap, c.cx, c.cy, c.r, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kCopy);
    const double area = kPi * c.r * c.r;
    EXPECT_NEAR(PaintedArea(bitmap), area, area * 0.01) << c.cx << "," << c.cy << " r " << c.r;
  }
}

TEST(CircleTest, InsideIsFullOutsideIsUntouchedAndTheEdgeIsSoft) {
  LICE_MemBitmap bitmap(40, 40);
  LICE_Clear(&bitmap, LICE_RGBA(0, 0, 0, 255));
  LICE_FillCircle(&bitmap, 20.0f, 20.0f, 10.0f, LICE_RGBA(255, 0, 0, 255), 1.0f, LICE_BlendMode::kCopy);
  auto red = [&](int x, int y) { return LICE_GETR(bitmap.Bits()[y * 40 + x]); };
  EXPECT_EQ(red(20, 20), 255);
  EXPECT_EQ(red(12, 20), 255);  // pixel 12 spans 12..13, 7 to 8 from the centre
  EXPECT_EQ(red(5, 20), 0);
  EXPECT_EQ(red(20, 31), 0);
  EXPECT_EQ(red(0, 0), 0);
  // Pixels crossed by the edge are partly covered; the diagonal edge is crossed too.
  int partial = 0;
  for (int i = 0; i < 40 * 40; ++i) partial += LICE_GETR(bitmap.Bits()[i]) > 0 && LICE_GETR(bitmap.Bits()[i]) < 255;
  EXPECT_GT(partial, 40);
  // Centred on a pixel corner the picture is mirror-symmetric both ways.
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      EXPECT_EQ(red(x, y), red(39 - x, y)) << x << "," << y;
      EXPECT_EQ(red(x, y), red(x, 39 - y)) << x << "," << y;
      EXPECT_EQ(red(x, y), red(y, x)) << x << "," << y;
    }
  }
}

TEST(CircleTest, ColourAlphaAndWeightScaleTheCoverage) {
  // The knob readout's circle: alpha 160 at weight 0.6 over a grey panel.
  LICE_MemBitmap bitmap(40, 40);
  LICE_Clear(&bitmap, LICE_RGBA(200, 200, 200, 255));
  LICE_FillCircle(&bitmap, 20.0f, 20.0f, 20.0f, LICE_RGBA(64, 64, 64, 160), 0.6f, LICE_BlendMode::kAlpha);
  const double a = 160.0 / 255.0 * 0.6;
  EXPECT_NEAR(LICE_GETR(bitmap.Bits()[20 * 40 + 20]), 200 + (64 - 200) * a, 0.51);
  EXPECT_EQ(LICE_GETA(bitmap.Bits()[20 * 40 + 20]), 255);
}

TEST(CircleTest, ClippedCirclesWriteOnlyInsideBitmapAndClip) {
  LICE_MemBitmap bitmap(10, 10);
  LICE_Clear(&bitmap, 0);
  const LICE_Rect clip{2, 3, 6, 7};
  LICE_FillCircle(&bitmap, 4.0f, 5.0f, 30.0f, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kCopy, &clip);
  LICE_FillCircle(&bitmap, -100.0f, 5.0f, 50.0f, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kCopy);
  LICE_FillCircle(&bitmap, 1e30f, 5.0f, 1e30f, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kCopy, &clip);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
      EXPECT_EQ(bitmap.Bits()[y * 10 + x], inside ? LICE_RGBA(255, 255, 255, 255) : 0u) << x << "," << y;
    }
  }
  // A circle far off the bitmap, and degenerate radii, draw nothing.
  LICE_Clear(&bitmap, 0);
  LICE_FillCircle(&bitmap, 500.0f, 500.0f, 20.0f, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kCopy);
  LICE_FillCircle(&bitmap, 5.0f, 5.0f, 0.0f, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kCopy);
  LICE_FillCircle(&bitmap, 5.0f, 5.0f, -3.0f, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kCopy);
  LICE_FillCircle(&bitmap, 5.0f, 5.0f, std::nanf(""), LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BlendMode::kCopy);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(bitmap.Bits()[i], 0u);
}

}  // namespace
