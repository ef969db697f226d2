// Embedded resources and the dynamic-library calls.
#include "platform/Platform.h"

#include <gtest/gtest.h>

namespace {

const std::uint8_t kBank[] = {'C', 'c', 'n', 'K'};
const std::uint8_t kImage[] = {0x89, 'P', 'N', 'G', 1};
const platform::EmbeddedResource kTable[] = {
    {"PROGINIT", "FACTORY", kBank, sizeof kBank},
    {"#101", "PNG", kImage, sizeof kImage},
};
const platform::EmbeddedResource kSecondTable[] = {
    {"PROGINIT", "VELTRUM", kImage, 2},
};

TEST(ModuleTest, RegisteredResourcesAreFoundByNameAndTypeWithoutCase) {
  EXPECT_EQ(platform::FindModuleResource("#101", "PNG").data, nullptr);
  platform::RegisterEmbeddedResources(kTable, 2);
  platform::RegisterEmbeddedResources(kTable, 2);
  platform::RegisterEmbeddedResources(kSecondTable, 1);
  const platform::ResourceBytes bank = platform::FindModuleResource("proginit", "Factory");
  EXPECT_EQ(bank.data, kBank);
  EXPECT_EQ(bank.size, sizeof kBank);
  EXPECT_EQ(platform::FindModuleResource("#101", "png").data, kImage);
  EXPECT_EQ(platform::FindModuleResource("PROGINIT", "VELTRUM").size, 2u);
  const platform::ResourceBytes missing = platform::FindModuleResource("PROGINIT", "QUELLMARK");
  EXPECT_EQ(missing.data, nullptr);
  EXPECT_EQ(missing.size, 0u);
  EXPECT_EQ(platform::FindModuleResource("PROGINI", "FACTORY").data, nullptr);
  EXPECT_EQ(platform::FindModuleResource(nullptr, "FACTORY").data, nullptr);
}

TEST(ModuleTest, LibraryCallsRefuseWhatIsNotThere) {
  EXPECT_EQ(platform::OpenLibrary(""), nullptr);
  EXPECT_EQ(platform::OpenLibrary("/nonexistent/libnothing.so"), nullptr);
  EXPECT_EQ(platform::FindSymbol(nullptr, "MTS_HasMaster"), nullptr);
  platform::CloseLibrary(nullptr);
  EXPECT_EQ(platform::TuningLibraryPath(), "/usr/local/lib/libMTS.so");
  EXPECT_EQ(platform::ModuleHandle(), nullptr);
}

}  // namespace
