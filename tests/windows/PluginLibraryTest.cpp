// The Windows plug-in library as a host sees it: its two exports, the factory banks and
// the version block in its resources, and an instance made through VSTPluginMain that
// finds its banks there and keeps its settings in the profile's local application data.
#include "tests/windows/WineSupport.h"
#include "vst2/VstAbi.h"

#include <cstring>
#include <vector>

namespace {

std::intptr_t VST_CALL QuietHost(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class PluginLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = wintest::HostPath(TESVAR_PLUGIN_PATH);
    library_ = LoadLibraryA(path_.c_str());
    ASSERT_NE(library_, nullptr) << path_ << " error " << GetLastError();
  }
  void TearDown() override {
    if (library_ != nullptr) FreeLibrary(library_);
  }

  vst::EntryProc Entry(const char* name) const {
    vst::EntryProc entry = nullptr;
    FARPROC address = GetProcAddress(library_, name);
    std::memcpy(&entry, &address, sizeof entry);
    return entry;
  }

  std::vector<std::uint8_t> Resource(const char* type) const {
    HRSRC found = FindResourceA(library_, "PROGINIT", type);
    if (found == nullptr) return {};
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(library_, found)));
    return {data, data + SizeofResource(library_, found)};
  }

  static std::intptr_t Call(vst::AEffect* effect, std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                            void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
  }

  std::string path_;
  HMODULE library_ = nullptr;
};

TEST_F(PluginLibraryTest, ExportsBothEntryPointsUndecorated) {
  EXPECT_NE(Entry("VSTPluginMain"), nullptr);
  EXPECT_NE(Entry("main"), nullptr);
  // A decorated or C++ name would mean the host cannot find the entry.
  EXPECT_EQ(Entry("_VSTPluginMain"), nullptr);
  EXPECT_EQ(Entry("MainEntry"), nullptr);
}

TEST_F(PluginLibraryTest, FactoryBanksAreTheGeneratedFilesByteForByte) {
  const struct {
    const char* type;
    const char* file;
  } banks[] = {{"FACTORY", "factory.fxb"}, {"QUELLMARK", "quellmark.fxb"}, {"VELTRUM", "veltrum.fxb"}};
  for (const auto& bank : banks) {
    SCOPED_TRACE(bank.type);
    const std::string generated =
        wintest::ReadFile(wintest::HostPath(std::string(TESVAR_FACTORY_BANK_DIR) + "/" + bank.file));
    ASSERT_GT(generated.size(), 160u);
    const std::vector<std::uint8_t> resource = Resource(bank.type);
    ASSERT_EQ(resource.size(), generated.size());
    EXPECT_EQ(std::memcmp(resource.data(), generated.data(), generated.size()), 0);
    EXPECT_EQ(std::memcmp(resource.data(), "CcnK", 4), 0);
  }
  EXPECT_TRUE(Resource("OTHER").empty());
}

TEST_F(PluginLibraryTest, VersionBlockSaysOnePointZeroPointOne) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path_.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path_.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
  char* text = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\CompanyName", reinterpret_cast<void**>(&text),
                             &length));
  EXPECT_STREQ(text, "Quellmark Music");
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\OriginalFilename",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, sizeof(void*) == 8 ? "Tesvar64.dll" : "Tesvar.dll");
}

TEST_F(PluginLibraryTest, InstanceLoadsFactoryBankFromResourcesAndCreatesItsSettings) {
  const std::string folder = wintest::ShellFolder(CSIDL_LOCAL_APPDATA) + "\\QuellmarkMusic";
  if (wintest::TemporaryProfile()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  vst::AEffect* effect = Entry("VSTPluginMain")(QuietHost);
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->magic, vst::kEffectMagic);
  EXPECT_EQ(effect->uniqueID, 0x74737672);  // "tsvr"
  EXPECT_EQ(effect->version, 10001);
  EXPECT_EQ(effect->numPrograms, 64);
  EXPECT_EQ(effect->numParams, 51);
  Call(effect, vst::effOpen);

  char name[64] = {};
  Call(effect, vst::effGetProgramNameIndexed, 0, 0, name);
  EXPECT_STREQ(name, "Fat Brass");
  Call(effect, vst::effGetProgramNameIndexed, 16, 0, name);
  EXPECT_STREQ(name, "Solo Brass");
  EXPECT_TRUE(std::filesystem::is_regular_file(folder + "\\tesvar.ini"));

  // The older entry name makes a second, independent instance.
  vst::AEffect* second = Entry("main")(QuietHost);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, effect);
  Call(second, vst::effClose);
  Call(effect, vst::effClose);
}

// Regression: binding the tuning library from the library's own load (static
// initialisation or DllMain) runs under the loader lock and can deadlock the host. The
// plug-in binds it when the first instance is created, under the creation lock.
TEST_F(PluginLibraryTest, TuningLibraryIsBoundByTheFirstInstanceNotByLoading) {
  if (!wintest::TemporaryProfile()) GTEST_SKIP() << "installs a library; needs a temporary profile";
  FreeLibrary(library_);
  library_ = nullptr;
  ASSERT_NE(LoadLibraryW(L"ole32.dll"), nullptr);  // loaded by every host before plug-ins
  const std::string folder = wintest::ShellFolder(CSIDL_PROGRAM_FILES_COMMON) + "\\MTS-ESP";
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(CopyFileA(wintest::HostPath(TESVAR_MTS_DOUBLE_PATH).c_str(), (folder + "\\LIBMTS.dll").c_str(), FALSE));

  library_ = LoadLibraryA(path_.c_str());
  ASSERT_NE(library_, nullptr);
  EXPECT_EQ(GetModuleHandleA("LIBMTS.dll"), nullptr);
  vst::AEffect* effect = Entry("VSTPluginMain")(QuietHost);
  ASSERT_NE(effect, nullptr);
  EXPECT_NE(GetModuleHandleA("LIBMTS.dll"), nullptr);
  Call(effect, vst::effClose);
  FreeLibrary(library_);
  library_ = nullptr;
  // Unloading the plug-in leaves the tuning library loaded: releasing it from the unloading
  // library would call FreeLibrary under the loader lock too. The process's end frees it.
  HMODULE tuning = GetModuleHandleA("LIBMTS.dll");
  EXPECT_NE(tuning, nullptr);
  if (tuning != nullptr) FreeLibrary(tuning);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
