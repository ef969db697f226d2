// The compiled-in factory banks (bytes generated from resources/banks/*.tsv at build time).
#include "resources/FactoryBanks.h"

#include <array>

#include "platform/Platform.h"

namespace resources {

// Defined in the generated <stem>_bank.cpp sources.
extern const std::uint8_t kFactoryBank[];
extern const std::size_t kFactoryBankSize;
extern const std::uint8_t kQuellmarkBank[];
extern const std::size_t kQuellmarkBankSize;
extern const std::uint8_t kVeltrumBank[];
extern const std::size_t kVeltrumBankSize;

std::span<const FactoryBank, kFactoryBankCount> FactoryBanks() {
  // Built on first use: the sizes are constants of other translation units, so a
  // namespace-scope table could be initialised before them.
  static const FactoryBank banks[kFactoryBankCount] = {
      {"FACTORY", {kFactoryBank, kFactoryBankSize}},
      {"QUELLMARK", {kQuellmarkBank, kQuellmarkBankSize}},
      {"VELTRUM", {kVeltrumBank, kVeltrumBankSize}},
  };
  return std::span<const FactoryBank, kFactoryBankCount>(banks);
}

void RegisterFactoryBanks() {
  static const auto table = [] {
    std::array<platform::EmbeddedResource, kFactoryBankCount> entries{};
    const auto banks = FactoryBanks();
    for (std::size_t i = 0; i < kFactoryBankCount; ++i) {
      entries[i] = {kFactoryBankResourceName, banks[i].type, banks[i].fxb.data(), banks[i].fxb.size()};
    }
    return entries;
  }();
  platform::RegisterEmbeddedResources(table.data(), table.size());
}

}  // namespace resources
