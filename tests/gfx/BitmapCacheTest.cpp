// The process-wide bitmap cache: each resource id is decoded once and shared; missing and
// damaged resources give no bitmap and are not counted.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "gfx/LICE.h"
#include "platform/Platform.h"
#include "tests/gfx/PngBytes.h"

namespace {

// Ids far from the plug-in's own 101 to 125.
const std::vector<unsigned char>& RedPng() {
  static const std::vector<unsigned char> bytes = gfx_test::SolidPng(3, 4, 255, 0, 0);
  return bytes;
}
const std::vector<unsigned char>& BluePng() {
  static const std::vector<unsigned char> bytes = gfx_test::SolidPng(5, 2, 0, 0, 255);
  return bytes;
}
const unsigned char kDamaged[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H'};

void RegisterTestImages() {
  static const platform::EmbeddedResource table[] = {
      {"#9001", "PNG", RedPng().data(), RedPng().size()},
      {"#9002", "PNG", BluePng().data(), BluePng().size()},
      {"#9003", "PNG", kDamaged, sizeof kDamaged},
  };
  platform::RegisterEmbeddedResources(table, 3);
}

TEST(BitmapCacheTest, EachIdIsDecodedOnceAndShared) {
  RegisterTestImages();
  const int before = LICE_CachedPngCount();
  const LICE_IBitmap* red = LICE_CachedPngResource(9001);
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->Width(), 3);
  EXPECT_EQ(red->Height(), 4);
  EXPECT_EQ(red->Bits()[0], LICE_RGBA(255, 0, 0, 255));
  EXPECT_EQ(LICE_CachedPngCount(), before + 1);
  EXPECT_EQ(LICE_CachedPngResource(9001), red);
  EXPECT_EQ(LICE_CachedPngCount(), before + 1);
  const LICE_IBitmap* blue = LICE_CachedPngResource(9002);
  ASSERT_NE(blue, nullptr);
  EXPECT_NE(blue, red);
  EXPECT_EQ(LICE_CachedPngCount(), before + 2);
}

TEST(BitmapCacheTest, MissingAndDamagedResourcesGiveNoBitmap) {
  RegisterTestImages();
  const int before = LICE_CachedPngCount();
  EXPECT_EQ(LICE_CachedPngResource(9003), nullptr);
  EXPECT_EQ(LICE_CachedPngResource(9004), nullptr);
  EXPECT_EQ(LICE_CachedPngResource(-1), nullptr);
  EXPECT_EQ(LICE_CachedPngCount(), before);
}

TEST(BitmapCacheTest, ThreadsLoadingAtOnceShareOneBitmap) {
  RegisterTestImages();
  std::vector<const LICE_IBitmap*> found(8, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&found, i] { found[i] = LICE_CachedPngResource(9002); });
  }
  for (std::thread& t : threads) t.join();
  for (const LICE_IBitmap* bitmap : found) EXPECT_EQ(bitmap, found[0]);
  EXPECT_NE(found[0], nullptr);
}

// Resampling a strip: each frame becomes the asked size from its own frame only (a flat
// frame stays flat to its edges, nothing of the neighbour bleeds in), and transparent pixels
// lend no colour to the opaque ones beside them.
TEST(ResampleTest, FramesStayApartAndTransparencyLendsNoColour) {
  const LICE_pixel colours[3] = {LICE_RGBA(250, 10, 10, 255), LICE_RGBA(10, 250, 10, 255), LICE_RGBA(10, 10, 250, 255)};
  LICE_MemBitmap strip(40, 120);
  for (int f = 0; f < 3; ++f) {
    const LICE_Rect r{0, 40 * f, 40, 40 * (f + 1)};
    LICE_Clear(&strip, colours[f], &r);
  }
  for (const auto& [width, pitch] : {std::pair{25, 25}, std::pair{30, 30}, std::pair{35, 35}, std::pair{20, 20}}) {
    std::unique_ptr<LICE_MemBitmap> out(LICE_ResampleStrip(&strip, 3, width, pitch));
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(out->Width(), width);
    ASSERT_EQ(out->Height(), 3 * pitch);
    for (int f = 0; f < 3; ++f) {
      for (int y = f * pitch; y < (f + 1) * pitch; ++y) {
        for (int x = 0; x < width; ++x) {
          const LICE_pixel p = out->Bits()[y * out->RowSpan() + x];
          ASSERT_EQ(p, colours[f]) << width << " frame " << f << " at " << x << ", " << y;
        }
      }
    }
  }
  // Left half transparent red, right half opaque blue: no red reaches the blue.
  LICE_MemBitmap edge(40, 40);
  const LICE_Rect left{0, 0, 20, 40};
  const LICE_Rect right{20, 0, 40, 40};
  LICE_Clear(&edge, LICE_RGBA(255, 0, 0, 0), &left);
  LICE_Clear(&edge, LICE_RGBA(0, 0, 255, 255), &right);
  std::unique_ptr<LICE_MemBitmap> out(LICE_ResampleStrip(&edge, 1, 25, 25));
  ASSERT_NE(out, nullptr);
  for (int x = 0; x < 25; ++x) {
    const LICE_pixel p = out->Bits()[12 * out->RowSpan() + x];
    if (LICE_GETA(p) > 8) {
      EXPECT_LE(LICE_GETR(p), 2) << x;
    }
  }
  EXPECT_EQ(LICE_ResampleStrip(nullptr, 1, 10, 10), nullptr);
  EXPECT_EQ(LICE_ResampleStrip(&edge, 0, 10, 10), nullptr);
  EXPECT_EQ(LICE_ResampleStrip(&edge, 1, 0, 10), nullptr);
}

}  // namespace
