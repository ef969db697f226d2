// The process-wide bitmap cache: each resource id is decoded once and shared; missing and
// damaged resources give no bitmap and are not counted.
#include <gtest/gtest.h>

#include <thread>
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

}  // namespace
