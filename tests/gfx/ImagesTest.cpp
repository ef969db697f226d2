// The editor's bitmaps as the plug-in carries them: every resource of the table decodes
// through the cache with the listed size and frame count, and a second instance decodes
// nothing again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/Tesvar.h"
#include "gfx/LICE.h"
#include "platform/Platform.h"
#include "resources/Images.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

TEST(ImagesTest, TheTableHasTwentyFourIdsWithoutGaps) {
  ASSERT_EQ(resources::kImageCount, 24u);
  int expected = 101;
  for (const resources::ImageInfo& image : resources::kImages) {
    if (expected == 121) ++expected;  // 121 was never assigned
    EXPECT_EQ(image.id, expected++);
    // Frames are height / frames pixels high, integer division (the small digits' 198 / 12
    // leaves 6 rows over).
    EXPECT_GE(image.height / image.frames, 8) << image.name;
  }
  EXPECT_EQ(resources::FindImage(121), nullptr);
}

TEST(ImagesTest, EveryResourceDecodesWithItsSizeAndFramesAtBothDrawnSizes) {
  resources::RegisterImages();
  EXPECT_EQ(resources::EmbeddedImageCount(), resources::kResourceCount);
  for (const resources::ImageInfo& image : resources::kImages) {
    for (int scale : {1, 2}) {
      SCOPED_TRACE(std::string(image.name) + " x" + std::to_string(scale));
      const int id = image.id + (scale - 1) * resources::kDoubleSizeIdOffset;
      char name[16];
      std::snprintf(name, sizeof name, "#%d", id);
      ASSERT_NE(platform::FindModuleResource(name, "PNG").data, nullptr);
      const LICE_IBitmap* bitmap = LICE_CachedPngResource(id);
      ASSERT_NE(bitmap, nullptr);
      EXPECT_EQ(bitmap->Width(), image.width * scale);
      EXPECT_EQ(bitmap->Height(), image.height * scale);
    }
  }
  EXPECT_EQ(platform::FindModuleResource("#121", "PNG").data, nullptr);
}

TEST(ImagesTest, EveryFrameOfAStripHoldsAPicture) {
  resources::RegisterImages();
  // Multi-frame strips: no frame is left empty (fully transparent), so every state shows.
  for (const resources::ImageInfo& image : resources::kImages) {
    const LICE_IBitmap* bitmap = LICE_CachedPngResource(image.id);
    ASSERT_NE(bitmap, nullptr) << image.name;
    // Cut as the editor cuts frames: height / frames rows from height x (n - 1) / frames, rounded.
    const int frameHeight = image.height / image.frames;
    // The seven-segment digits' last frame is the blank one.
    const bool lastIsBlank = image.id == resources::kDigitsImage || image.id == resources::kDigitsGreenImage ||
                             image.id == resources::kDigitsSmallImage;
    for (int frame = 0; frame < image.frames - (lastIsBlank ? 1 : 0); ++frame) {
      int visible = 0;
      const int top = static_cast<int>(std::lround(static_cast<double>(image.height) * frame / image.frames));
      for (int y = top; y < top + frameHeight; ++y) {
        for (int x = 0; x < bitmap->Width(); ++x) visible += LICE_GETA(bitmap->Bits()[y * bitmap->RowSpan() + x]) > 0;
      }
      EXPECT_GT(visible, 0) << image.name << " frame " << frame + 1;
    }
  }
}

// Every bitmap at every scale, as the editor draws it: 100 % and 200 % are the drawn
// resources, the steps between are filtered from the 200 % drawing; each has the scaled
// width, a whole frame pitch of the scaled size, every frame a picture, and comes from the
// process's cache (asked again, the same bitmap).
TEST(ImagesTest, EveryBitmapAtEveryScaleHasItsSizeAndEveryFrame) {
  resources::RegisterImages();
  for (int percent : {100, 125, 150, 175, 200}) {
    for (const resources::ImageInfo& image : resources::kImages) {
      SCOPED_TRACE(std::string(image.name) + " at " + std::to_string(percent) + " %");
      const LICE_IBitmap* bitmap =
          LICE_CachedScaledPng(image.id, image.id + resources::kDoubleSizeIdOffset, image.frames, percent);
      ASSERT_NE(bitmap, nullptr);
      EXPECT_EQ(LICE_CachedScaledPng(image.id, image.id + resources::kDoubleSizeIdOffset, image.frames, percent),
                bitmap);
      EXPECT_EQ(bitmap->Width(), static_cast<int>(std::lround(image.width * percent / 100.0)));
      const int pitch = static_cast<int>(std::lround(2.0 * image.height / image.frames * percent / 200.0));
      if (percent != 100) {
        EXPECT_EQ(bitmap->Height(), pitch * image.frames);
      }
      const bool lastIsBlank = image.id == resources::kDigitsImage || image.id == resources::kDigitsGreenImage ||
                               image.id == resources::kDigitsSmallImage;
      const int framePitch = bitmap->Height() / image.frames;
      for (int frame = 0; frame < image.frames - (lastIsBlank ? 1 : 0); ++frame) {
        int visible = 0;
        const int top = static_cast<int>((2LL * bitmap->Height() * frame + image.frames) / (2LL * image.frames));
        for (int y = top; y < top + framePitch; ++y) {
          for (int x = 0; x < bitmap->Width(); ++x) visible += LICE_GETA(bitmap->Bits()[y * bitmap->RowSpan() + x]) > 0;
        }
        EXPECT_GT(visible, 0) << "frame " << frame + 1;
      }
    }
  }
}

class InstanceImagesTest : public shell_test::TempHome {};

// What the editor of each instance does when it is built: ask the cache for every bitmap.
std::vector<const LICE_IBitmap*> LoadAll() {
  std::vector<const LICE_IBitmap*> bitmaps;
  for (const resources::ImageInfo& image : resources::kImages) bitmaps.push_back(LICE_CachedPngResource(image.id));
  return bitmaps;
}

TEST_F(InstanceImagesTest, ASecondInstanceAddsNoDecodedBitmap) {
  auto first = std::make_unique<Tesvar>(shell_test::RecordingHost);
  const std::vector<const LICE_IBitmap*> firstBitmaps = LoadAll();
  const int decoded = LICE_CachedPngCount();
  EXPECT_GE(decoded, static_cast<int>(resources::kImageCount));
  auto second = std::make_unique<Tesvar>(shell_test::RecordingHost);
  EXPECT_EQ(LoadAll(), firstBitmaps);
  EXPECT_EQ(LICE_CachedPngCount(), decoded);
  // The bitmaps outlive the instances that asked for them.
  first.reset();
  second.reset();
  EXPECT_EQ(LICE_CachedPngResource(resources::kBackImage), firstBitmaps[0]);
  EXPECT_EQ(LICE_CachedPngCount(), decoded);
}

}  // namespace
