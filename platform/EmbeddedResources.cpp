// Registered resource tables. Lookups are rare (when an instance or its editor is built),
// so one mutex guards both registration and lookup.
#include "platform/EmbeddedResources.h"

#include <cctype>
#include <mutex>

namespace platform {
namespace {

constexpr std::size_t kMaxTables = 8;
struct Registry {
  std::mutex mutex;
  const EmbeddedResource* tables[kMaxTables] = {};
  std::size_t counts[kMaxTables] = {};
  std::size_t used = 0;
};

Registry& Resources() {
  static Registry registry;
  return registry;
}

bool SameName(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) {
      return false;
    }
  }
  return *a == *b;
}

}  // namespace

void RegisterEmbeddedResources(const EmbeddedResource* table, std::size_t count) {
  if (table == nullptr || count == 0) return;
  Registry& registry = Resources();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (std::size_t i = 0; i < registry.used; ++i) {
    if (registry.tables[i] == table) return;
  }
  if (registry.used == kMaxTables) return;
  registry.tables[registry.used] = table;
  registry.counts[registry.used] = count;
  ++registry.used;
}

ResourceBytes FindRegisteredResource(const char* name, const char* type) {
  Registry& registry = Resources();
  std::lock_guard<std::mutex> lock(registry.mutex);
  for (std::size_t t = 0; t < registry.used; ++t) {
    for (std::size_t i = 0; i < registry.counts[t]; ++i) {
      const EmbeddedResource& resource = registry.tables[t][i];
      if (SameName(resource.name, name) && SameName(resource.type, type)) {
        return ResourceBytes{resource.data, resource.size};
      }
    }
  }
  return ResourceBytes{};
}

}  // namespace platform
