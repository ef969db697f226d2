// The three factory banks compiled into the library, and their registration with the
// platform's resource lookup (platform::FindModuleResource).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace resources {

inline constexpr const char* kFactoryBankResourceName = "PROGINIT";
inline constexpr std::size_t kFactoryBankCount = 3;

struct FactoryBank {
  const char* type;                   // resource type: "FACTORY", "QUELLMARK", "VELTRUM"
  std::span<const std::uint8_t> fxb;  // a complete FXB file in chunk form
};

// Bank 0, 1 and 2 in that order; the bytes live as long as the process.
std::span<const FactoryBank, kFactoryBankCount> FactoryBanks();

// Hands the three banks to platform::RegisterEmbeddedResources under the name "PROGINIT"
// and their types, so that FindModuleResource("PROGINIT", "FACTORY") finds bank 0 where
// the library has no resource section. Call once before the first bank is looked up, for
// example when the first instance is created; calling again changes nothing. Thread-safe.
// The Windows build keeps the banks as module resources and the platform ignores this.
void RegisterFactoryBanks();

}  // namespace resources
