// The process-wide cache of decoded PNG resources: every instance of the plug-in shares one
// bitmap per resource id. Lookups are rare (when an editor is built), so one mutex guards
// both the list and the decoding, and a second caller waits for the first one's bitmap.
#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "gfx/LICE.h"
#include "platform/Platform.h"

namespace {

struct PngCache {
  std::mutex mutex;
  std::vector<std::pair<int, std::unique_ptr<LICE_MemBitmap>>> bitmaps;
};

// Lives until the library is unloaded or the process ends; the bitmaps with it.
PngCache& Cache() {
  static PngCache cache;
  return cache;
}

}  // namespace

const LICE_IBitmap* LICE_CachedPngResource(int id) {
  PngCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  for (const auto& entry : cache.bitmaps) {
    if (entry.first == id) return entry.second.get();
  }
  char name[16];
  std::snprintf(name, sizeof name, "#%d", id);
  const platform::ResourceBytes bytes = platform::FindModuleResource(name, "PNG");
  // A missing or damaged resource is not remembered: a table registered later still counts.
  std::unique_ptr<LICE_MemBitmap> bitmap(LICE_LoadPNGFromMemory(bytes.data, bytes.size));
  if (bitmap == nullptr) return nullptr;
  cache.bitmaps.emplace_back(id, std::move(bitmap));
  return cache.bitmaps.back().second.get();
}

int LICE_CachedPngCount() {
  PngCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  return static_cast<int>(cache.bitmaps.size());
}
