// The Windows platform layer's own calls: folders, file search, the lock, the module's
// resources and dynamic libraries (with UTF-8 paths), and where the tuning library lives.
#include "platform/Platform.h"
#include "tests/windows/WineSupport.h"

#include <atomic>
#include <thread>

namespace {

using PlatformTest = wintest::TempFolder;

TEST_F(PlatformTest, FoldersAreTheShellsLocalAppDataAndDocuments) {
  const std::string local = platform::LocalAppDataFolder();
  const std::string documents = platform::DocumentsFolder();
  EXPECT_EQ(local, wintest::ShellFolder(CSIDL_LOCAL_APPDATA));
  EXPECT_EQ(documents, wintest::ShellFolder(CSIDL_PERSONAL));
  EXPECT_FALSE(local.empty());
  EXPECT_FALSE(documents.empty());
  EXPECT_TRUE(platform::PathExists(local));
  EXPECT_EQ(platform::PathSeparator(), '\\');
}

TEST_F(PlatformTest, CreateFolderMakesOneLevelOnly) {
  EXPECT_TRUE(platform::CreateFolder(Path("one")));
  EXPECT_TRUE(platform::PathExists(Path("one")));
  EXPECT_FALSE(platform::CreateFolder(Path("one")));  // already there
  EXPECT_FALSE(platform::CreateFolder(Path("two\\three")));
  EXPECT_FALSE(platform::PathExists(Path("two")));
  EXPECT_FALSE(platform::CreateFolder(""));
  EXPECT_FALSE(platform::PathExists(""));
}

TEST_F(PlatformTest, ListFilesMatchesWildcardsSortedWithoutFolders) {
  for (const char* name : {"b.fxp", "A.FXP", "c.fxb", "notes.txt"}) {
    wintest::WriteFile(Path(name), "x");
  }
  ASSERT_TRUE(platform::CreateFolder(Path("folder.fxp")));
  EXPECT_EQ(platform::ListFiles(Folder(), "*.fxp"), (std::vector<std::string>{"A.FXP", "b.fxp"}));
  EXPECT_EQ(platform::ListFiles(Folder() + "\\", "?.fxb"), (std::vector<std::string>{"c.fxb"}));
  EXPECT_TRUE(platform::ListFiles(Path("absent"), "*.fxp").empty());
}

TEST(Win32LockTest, CriticalSectionIsReentrantAndExcludesOtherThreads) {
  platform::CriticalSection section;
  int counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      platform::Guard outer(section);
      platform::Guard inner(section);  // the same thread enters again
      ++counter;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
}

TEST(Win32ModuleTest, ResourcesFallBackToRegisteredTablesOutsideTheLibrary) {
  // A test program has no factory banks of its own: the lookup misses the module and finds
  // the registered table; names and types compare without case, as resource names do.
  static const std::uint8_t bytes[] = {1, 2, 3};
  static const platform::EmbeddedResource table[] = {{"PROGINIT", "TESTBANK", bytes, sizeof bytes}};
  EXPECT_EQ(platform::FindModuleResource("PROGINIT", "TESTBANK").data, nullptr);
  platform::RegisterEmbeddedResources(table, 1);
  const platform::ResourceBytes found = platform::FindModuleResource("proginit", "testbank");
  EXPECT_EQ(found.data, bytes);
  EXPECT_EQ(found.size, 3u);
  EXPECT_EQ(platform::FindModuleResource("PROGINIT", "OTHER").data, nullptr);
  EXPECT_EQ(platform::FindModuleResource(nullptr, "TESTBANK").data, nullptr);
}

TEST_F(PlatformTest, LibrariesLoadFromUtf8PathsAndRefuseWhatIsMissing) {
  // A folder named with characters outside every ANSI code page: only the wide call finds it.
  const std::wstring wideFolder = std::filesystem::path(Folder()).wstring() + L"\\B\u00e4nke \u266a";
  ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
  const std::wstring wideLibrary = wideFolder + L"\\probe.dll";
  const std::string probe = wintest::HostPath(TESVAR_PROBE_LIBRARY);
  ASSERT_TRUE(CopyFileW(std::filesystem::path(probe).wstring().c_str(), wideLibrary.c_str(), TRUE));

  const std::u8string u8 = std::filesystem::path(wideLibrary).u8string();
  const std::string utf8(reinterpret_cast<const char*>(u8.data()), u8.size());
  void* library = platform::OpenLibrary(utf8);
  ASSERT_NE(library, nullptr) << utf8;
  auto probeEntry = reinterpret_cast<int (*)()>(platform::FindSymbol(library, "TesvarProbe"));
  ASSERT_NE(probeEntry, nullptr);
  EXPECT_EQ(probeEntry(), 42);
  EXPECT_EQ(platform::FindSymbol(library, "Missing"), nullptr);
  EXPECT_EQ(platform::FindSymbol(nullptr, "TesvarProbe"), nullptr);
  platform::CloseLibrary(library);

  EXPECT_EQ(platform::OpenLibrary(Path("absent.dll")), nullptr);
  EXPECT_EQ(platform::OpenLibrary(""), nullptr);
  platform::CloseLibrary(nullptr);
}

TEST(Win32TuningPathTest, TuningLibraryLivesUnderCommonProgramFiles) {
  // The lookup loads nothing itself: it uses the shell and COM modules a host has loaded.
  // A test program has not loaded COM yet, so it does what every host has done.
  ASSERT_NE(LoadLibraryW(L"ole32.dll"), nullptr);
  // The common program files folder as the shell names it, through an older call.
  const std::string common = wintest::ShellFolder(CSIDL_PROGRAM_FILES_COMMON);
  ASSERT_FALSE(common.empty());
  EXPECT_EQ(platform::TuningLibraryPath(), common + "\\MTS-ESP\\LIBMTS.dll");
}

}  // namespace
