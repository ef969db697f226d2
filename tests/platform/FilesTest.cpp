// The XDG folders, folder creation and wildcard listing.
#include "platform/Platform.h"
#include "tests/platform/TempHome.h"

#include <filesystem>

namespace {

using FilesTest = TempHome;

TEST_F(FilesTest, SettingsFolderFollowsXdgConfigHome) {
  EXPECT_EQ(platform::LocalAppDataFolder(), Path(".config"));
  setenv("XDG_CONFIG_HOME", Path("elsewhere").c_str(), 1);
  EXPECT_EQ(platform::LocalAppDataFolder(), Path("elsewhere"));
  // Empty or relative values are ignored, as the XDG rules say.
  setenv("XDG_CONFIG_HOME", "relative/dir", 1);
  EXPECT_EQ(platform::LocalAppDataFolder(), Path(".config"));
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(platform::LocalAppDataFolder(), Path(".config"));
}

TEST_F(FilesTest, DocumentsFolderFromUserDirsThenDocumentsThenHome) {
  EXPECT_EQ(platform::DocumentsFolder(), Home());
  std::filesystem::create_directories(Path("Documents"));
  EXPECT_EQ(platform::DocumentsFolder(), Path("Documents"));

  WriteFile(Path(".config/user-dirs.dirs"),
            "# written by xdg-user-dirs-update\n"
            "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
            "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
  EXPECT_EQ(platform::DocumentsFolder(), Path("Papiere"));
  WriteFile(Path(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n");
  EXPECT_EQ(platform::DocumentsFolder(), "/srv/docs");
  // "$HOME/" means the folder is switched off: fall back.
  WriteFile(Path(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/\"\n");
  EXPECT_EQ(platform::DocumentsFolder(), Path("Documents"));
}

TEST_F(FilesTest, CreateFolderMakesOneLevel) {
  EXPECT_FALSE(platform::PathExists(Path("a")));
  EXPECT_FALSE(platform::CreateFolder(Path("a/b")));
  EXPECT_TRUE(platform::CreateFolder(Path("a")));
  EXPECT_TRUE(platform::PathExists(Path("a")));
  EXPECT_FALSE(platform::CreateFolder(Path("a")));
  EXPECT_TRUE(platform::CreateFolder(Path("a/b")));
  EXPECT_FALSE(platform::PathExists(""));
  EXPECT_EQ(platform::PathSeparator(), '/');
}

TEST_F(FilesTest, ListFilesMatchesWildcardsWithCaseFreeExtensions) {
  for (const char* name : {"pad.fxp", "LEAD.FXP", "bass.Fxp", "bank.fxb", "notes.txt", "fxp", "a.fxp.bak"}) {
    WriteFile(Path(std::string("banks/") + name), "x");
  }
  std::filesystem::create_directories(Path("banks/folder.fxp"));
  using Names = std::vector<std::string>;
  EXPECT_EQ(platform::ListFiles(Path("banks"), "*.fxp"), (Names{"LEAD.FXP", "bass.Fxp", "pad.fxp"}));
  EXPECT_EQ(platform::ListFiles(Path("banks"), "*.FXB"), (Names{"bank.fxb"}));
  // The name before the extension keeps its case.
  EXPECT_EQ(platform::ListFiles(Path("banks"), "P*.fxp"), Names{});
  EXPECT_EQ(platform::ListFiles(Path("banks"), "?ad.*"), (Names{"pad.fxp"}));
  EXPECT_EQ(platform::ListFiles(Path("banks"), "*").size(), 7u);
  EXPECT_EQ(platform::ListFiles(Path("banks"), "*.*").size(), 7u);
  EXPECT_TRUE(platform::ListFiles(Path("absent"), "*").empty());
}

}  // namespace
