// Registration of the compiled-in PNG bytes with the platform's resource lookup.
#include "resources/Images.h"

#include <array>
#include <cstdio>

#include "platform/Platform.h"

#ifndef _WIN32
#include "resources/ImagesEmbedded.h"
#endif

namespace resources {

#ifdef _WIN32

void RegisterImages() {}
std::size_t EmbeddedImageCount() { return 0; }

#else

namespace {

struct ImageTable {
  std::array<char[8], kResourceCount> names{};
  std::array<platform::EmbeddedResource, kResourceCount> entries{};
  std::size_t count = 0;
};

bool Fill(ImageTable& t) {
  for (std::size_t i = 0; i < detail::kEmbeddedImageSlots && t.count < kResourceCount; ++i) {
    const detail::EmbeddedImage& image = detail::kEmbeddedImages[i];
    if (image.begin == nullptr) continue;
    std::snprintf(t.names[t.count], sizeof t.names[t.count], "#%d", image.id);
    t.entries[t.count] = {t.names[t.count], "PNG", image.begin, static_cast<std::size_t>(image.end - image.begin)};
    ++t.count;
  }
  return true;
}

// Filled on first use (the generated table is another translation unit's constant), in
// place: the entries point at the table's own names.
const ImageTable& Table() {
  static ImageTable table;
  static const bool filled = Fill(table);
  static_cast<void>(filled);
  return table;
}

}  // namespace

void RegisterImages() {
  const ImageTable& table = Table();
  platform::RegisterEmbeddedResources(table.entries.data(), table.count);
}

std::size_t EmbeddedImageCount() { return Table().count; }

#endif

}  // namespace resources
