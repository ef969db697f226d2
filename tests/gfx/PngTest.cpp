// PNG decoding through libpng: every colour type becomes 32-bit pixels with alpha, written
// files read back unchanged, and damaged bytes give no bitmap instead of a crash.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/LICE.h"
#include "tests/gfx/PngBytes.h"

namespace {

TEST(PngTest, WrittenFilesReadBackPixelForPixel) {
  LICE_MemBitmap bitmap(5, 3);
  for (int i = 0; i < 15; ++i) bitmap.Bits()[i] = LICE_RGBA(i * 17, 255 - i, i * 3, i * 16);
  const std::string path = gfx_test::TempPath("roundtrip.png");
  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &bitmap));
  const std::vector<unsigned char> bytes = gfx_test::ReadFile(path);
  std::remove(path.c_str());
  std::unique_ptr<LICE_MemBitmap> read(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()));
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->Width(), 5);
  ASSERT_EQ(read->Height(), 3);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(read->Bits()[i], bitmap.Bits()[i]) << i;
}

TEST(PngTest, EveryColourTypeBecomesBgraWithAlpha) {
  // Grey 8-bit: an opaque grey pixel.
  std::unique_ptr<LICE_MemBitmap> grey(
      gfx_test::Decode(gfx_test::EncodePng(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x40, 0xC0})));
  ASSERT_NE(grey, nullptr);
  EXPECT_EQ(grey->Bits()[0], LICE_RGBA(0x40, 0x40, 0x40, 255));
  EXPECT_EQ(grey->Bits()[1], LICE_RGBA(0xC0, 0xC0, 0xC0, 255));
  // Grey 1-bit: 0 and 1 become black and white.
  std::unique_ptr<LICE_MemBitmap> bits(gfx_test::Decode(gfx_test::EncodePng(2, 1, PNG_COLOR_TYPE_GRAY, 1, {0x40})));
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits->Bits()[0], LICE_RGBA(0, 0, 0, 255));
  EXPECT_EQ(bits->Bits()[1], LICE_RGBA(255, 255, 255, 255));
  // RGB without alpha: opaque.
  std::unique_ptr<LICE_MemBitmap> rgb(gfx_test::Decode(gfx_test::EncodePng(1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3})));
  ASSERT_NE(rgb, nullptr);
  EXPECT_EQ(rgb->Bits()[0], LICE_RGBA(1, 2, 3, 255));
  // Grey with alpha.
  std::unique_ptr<LICE_MemBitmap> greyAlpha(
      gfx_test::Decode(gfx_test::EncodePng(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {9, 100})));
  ASSERT_NE(greyAlpha, nullptr);
  EXPECT_EQ(greyAlpha->Bits()[0], LICE_RGBA(9, 9, 9, 100));
  // 16-bit RGBA is scaled to 8 bits.
  std::unique_ptr<LICE_MemBitmap> deep(gfx_test::Decode(
      gfx_test::EncodePng(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x7F, 0xFF})));
  ASSERT_NE(deep, nullptr);
  EXPECT_EQ(deep->Bits()[0], LICE_RGBA(255, 128, 0, 127));
  // A palette with a transparent entry.
  std::unique_ptr<LICE_MemBitmap> indexed(gfx_test::Decode(gfx_test::EncodePalettePng()));
  ASSERT_NE(indexed, nullptr);
  EXPECT_EQ(indexed->Bits()[0], LICE_RGBA(255, 0, 0, 255));
  EXPECT_EQ(indexed->Bits()[1], LICE_RGBA(0, 0, 255, 0));
}

TEST(PngTest, DamagedBytesGiveNoBitmap) {
  const std::vector<unsigned char> good =
      gfx_test::EncodePng(16, 16, PNG_COLOR_TYPE_RGB_ALPHA, 8, std::vector<unsigned char>(16 * 16 * 4, 0x5A));
  ASSERT_NE(std::unique_ptr<LICE_MemBitmap>(gfx_test::Decode(good)), nullptr);

  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), 0), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), 7), nullptr);
  const char text[] = "not a picture at all, just some text";
  EXPECT_EQ(LICE_LoadPNGFromMemory(text, sizeof text), nullptr);
  // Every cut, from inside the header to just before the end.
  for (std::size_t size = 8; size < good.size(); size += 3) {
    EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), size), nullptr) << "cut at " << size;
  }
  // A flipped byte in the header chunk fails its checksum.
  std::vector<unsigned char> flipped = good;
  flipped[20] ^= 0x01;
  EXPECT_EQ(LICE_LoadPNGFromMemory(flipped.data(), flipped.size()), nullptr);
  // A header claiming an absurd size is refused before anything is allocated.
  std::vector<unsigned char> huge = gfx_test::EncodePng(1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3});
  gfx_test::PatchHeaderSize(&huge, 100000, 100000);
  EXPECT_EQ(LICE_LoadPNGFromMemory(huge.data(), huge.size()), nullptr);
}

TEST(PngTest, WritingToAFolderThatDoesNotExistFails) {
  LICE_MemBitmap bitmap(2, 2);
  LICE_Clear(&bitmap, 0);
  EXPECT_FALSE(LICE_WritePNG(gfx_test::TempPath("no-such-folder/x.png").c_str(), &bitmap));
  LICE_MemBitmap empty;
  EXPECT_FALSE(LICE_WritePNG(gfx_test::TempPath("empty.png").c_str(), &empty));
}

}  // namespace
