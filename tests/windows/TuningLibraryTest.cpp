// The tuning library on Windows, where the plug-in finds it: the shell's binding looks in
// the common program files folder (SHGetKnownFolderPath) and loads "MTS-ESP\LIBMTS.dll"
// there with LoadLibraryW. A stand-in library (tests/shell/mts_double.c) is installed in
// the throw-away profile's folder and plays the tuning master.
#include "shell/TuningClient.h"

#include "platform/Platform.h"
#include "tests/windows/WineSupport.h"

namespace {

class TuningLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!wintest::TemporaryProfile()) GTEST_SKIP() << "installs a library; needs a temporary profile";
    // A host has loaded COM long before; the lookup itself loads nothing new.
    ASSERT_NE(LoadLibraryW(L"ole32.dll"), nullptr);
    folder_ = wintest::ShellFolder(CSIDL_PROGRAM_FILES_COMMON) + "\\MTS-ESP";
    std::filesystem::create_directories(folder_);
    installed_ = folder_ + "\\LIBMTS.dll";
    ASSERT_TRUE(CopyFileA(wintest::HostPath(TESVAR_MTS_DOUBLE_PATH).c_str(), installed_.c_str(), FALSE));
    shell::TuningBinding::Release();
  }

  void TearDown() override {
    if (installed_.empty()) return;
    shell::TuningBinding::Release();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  template <typename Function>
  Function Control(void* library, const char* name) {
    return reinterpret_cast<Function>(platform::FindSymbol(library, name));
  }

  std::string folder_;
  std::string installed_;
};

TEST_F(TuningLibraryTest, FirstInstanceBindsTheInstalledLibraryAndFollowsItsMaster) {
  EXPECT_EQ(platform::TuningLibraryPath(), installed_);
  shell::TuningBinding::EnsureBound();
  ASSERT_TRUE(shell::TuningBinding::IsLibraryLoaded());

  // The same path opens the module the binding loaded; its controls play the master.
  void* library = platform::OpenLibrary(installed_);
  ASSERT_NE(library, nullptr);
  Control<void (*)()>(library, "MtsDouble_Reset")();
  auto client = shell::CreateTuningClient();
  EXPECT_EQ(Control<int (*)()>(library, "MtsDouble_Clients")(), 1);
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 69), 8832);  // no master yet

  Control<void (*)(int, double)>(library, "MtsDouble_SetFrequency")(69, 440.0 * 1.0594630943592953);
  Control<void (*)(bool)>(library, "MtsDouble_SetMaster")(true);
  ASSERT_TRUE(shell::TuningBinding::HasMaster());
  // A semitone up: the code of note 70.
  EXPECT_NEAR(shell::PitchCodeForNote(client.get(), 69), 70 * 128, 1);
  client.reset();
  EXPECT_EQ(Control<int (*)()>(library, "MtsDouble_Clients")(), 0);
  platform::CloseLibrary(library);
}

TEST_F(TuningLibraryTest, NoLibraryInstalledMeansEqualTemperament) {
  std::filesystem::remove(installed_);
  shell::TuningBinding::EnsureBound();
  EXPECT_FALSE(shell::TuningBinding::IsLibraryLoaded());
  auto client = shell::CreateTuningClient();
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 69), 8832);
  EXPECT_FALSE(shell::ShouldFilterNote(*client, 61));
}

}  // namespace
