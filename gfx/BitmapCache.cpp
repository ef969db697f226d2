// The process-wide cache of decoded PNG resources and of their resampled sizes: every
// instance of the plug-in shares one bitmap per (resource id, scale). Lookups are rare (when
// an editor opens or changes its scale), so one mutex guards both the list and the decoding,
// and a second caller waits for the first one's bitmap.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "gfx/LICE.h"
#include "platform/Platform.h"

namespace {

struct Entry {
  int id;
  int percent;  // 0: the resource as decoded
  std::unique_ptr<LICE_MemBitmap> bitmap;
};

struct PngCache {
  std::mutex mutex;
  std::vector<Entry> bitmaps;
};

// Lives until the library is unloaded or the process ends; the bitmaps with it.
PngCache& Cache() {
  static PngCache cache;
  return cache;
}

const LICE_IBitmap* Find(const PngCache& cache, int id, int percent) {
  for (const Entry& entry : cache.bitmaps) {
    if (entry.id == id && entry.percent == percent) return entry.bitmap.get();
  }
  return nullptr;
}

// The resource as decoded, with the cache's mutex held.
const LICE_IBitmap* Decoded(PngCache& cache, int id) {
  if (const LICE_IBitmap* found = Find(cache, id, 0)) return found;
  char name[16];
  std::snprintf(name, sizeof name, "#%d", id);
  const platform::ResourceBytes bytes = platform::FindModuleResource(name, "PNG");
  // A missing or damaged resource is not remembered: a table registered later still counts.
  std::unique_ptr<LICE_MemBitmap> bitmap(LICE_LoadPNGFromMemory(bytes.data, bytes.size));
  if (bitmap == nullptr) return nullptr;
  cache.bitmaps.push_back({id, 0, std::move(bitmap)});
  return cache.bitmaps.back().bitmap.get();
}

}  // namespace

const LICE_IBitmap* LICE_CachedPngResource(int id) {
  PngCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  return Decoded(cache, id);
}

const LICE_IBitmap* LICE_CachedScaledPng(int id, int doubleId, int frames, int percent) {
  PngCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (percent == 100) return Decoded(cache, id);
  if (percent == 200) {
    if (const LICE_IBitmap* drawn = Decoded(cache, doubleId)) return drawn;
  }
  if (const LICE_IBitmap* found = Find(cache, id, percent)) return found;
  // The nearest larger drawing: the 200 % one, or the 100 % one where that is missing.
  int sourcePercent = 200;
  const LICE_IBitmap* source = Decoded(cache, doubleId);
  if (source == nullptr) {
    sourcePercent = 100;
    source = Decoded(cache, id);
  }
  if (source == nullptr || frames < 1) return nullptr;
  const double ratio = static_cast<double>(percent) / sourcePercent;
  const int pitch = source->Height() / frames;
  const int width = std::max(1, static_cast<int>(std::lround(source->Width() * ratio)));
  const int framePitch = std::max(1, static_cast<int>(std::lround(pitch * ratio)));
  std::unique_ptr<LICE_MemBitmap> bitmap(LICE_ResampleStrip(source, frames, width, framePitch));
  if (bitmap == nullptr) return nullptr;
  cache.bitmaps.push_back({id, percent, std::move(bitmap)});
  return cache.bitmaps.back().bitmap.get();
}

int LICE_CachedPngCount() {
  PngCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  int count = 0;
  for (const Entry& entry : cache.bitmaps) count += entry.percent == 0 ? 1 : 0;
  return count;
}

std::size_t LICE_CachedPngBytes() {
  PngCache& cache = Cache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  std::size_t bytes = 0;
  for (const Entry& entry : cache.bitmaps) {
    bytes += static_cast<std::size_t>(entry.bitmap->RowSpan()) * entry.bitmap->Height() * sizeof(LICE_pixel);
  }
  return bytes;
}
