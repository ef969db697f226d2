// The built plug-in library carries the editor's bitmaps: on Linux every checked-in PNG is
// compiled into the .so byte for byte; on Windows each is a resource of the DLL found by its
// numeric id. Either way each one decodes with the size the layout expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gfx/LICE.h"
#include "resources/Images.h"
#include "tests/gfx/PngBytes.h"

#ifdef _WIN32
#include "tests/windows/WineSupport.h"
#endif

namespace {

void ExpectDecodes(const resources::ImageInfo& image, const unsigned char* data, std::size_t size) {
  std::unique_ptr<LICE_MemBitmap> bitmap(LICE_LoadPNGFromMemory(data, size));
  ASSERT_NE(bitmap, nullptr) << image.name;
  EXPECT_EQ(bitmap->Width(), image.width) << image.name;
  EXPECT_EQ(bitmap->Height(), image.height) << image.name;
  EXPECT_GE(bitmap->Height() / image.frames, 1) << image.name;
}

#ifdef _WIN32

TEST(PluginImagesTest, EveryBitmapIsAResourceOfTheDllById) {
  HMODULE library = LoadLibraryA(wintest::HostPath(TESVAR_PLUGIN_PATH).c_str());
  ASSERT_NE(library, nullptr) << GetLastError();
  for (const resources::ImageInfo& image : resources::kImages) {
    HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(image.id), "PNG");
    ASSERT_NE(found, nullptr) << image.name;
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(library, found)));
    ExpectDecodes(image, data, SizeofResource(library, found));
  }
  EXPECT_EQ(FindResourceA(library, MAKEINTRESOURCEA(121), "PNG"), nullptr);
  FreeLibrary(library);
}

#else

TEST(PluginImagesTest, EveryBitmapIsCompiledIntoTheLibrary) {
  const std::vector<unsigned char> library = gfx_test::ReadFile(TESVAR_PLUGIN_PATH);
  ASSERT_GT(library.size(), 100000u);
  for (const resources::ImageInfo& image : resources::kImages) {
    const std::string file = std::filesystem::path(image.name).filename().string();
    const std::vector<unsigned char> png = gfx_test::ReadFile(std::string(TESVAR_IMAGE_DIR) + "/" + file);
    ASSERT_GT(png.size(), 8u) << file;
    const auto at = std::search(library.begin(), library.end(), png.begin(), png.end());
    ASSERT_NE(at, library.end()) << file << " is not in the library";
    ExpectDecodes(image, &*at, png.size());
  }
}

#endif

}  // namespace
