// The INI reader and writer: Windows private-profile behaviour, and every byte it does not
// have to change left as it was.
#include "platform/Platform.h"
#include "tests/platform/TempHome.h"

#include <filesystem>
#include <thread>

namespace {

class ProfileTest : public TempHome {
 protected:
  std::string Ini() const { return Path("settings.ini"); }
  std::string Read(const char* section, const char* key, const char* fallback = "none", std::size_t size = 259) const {
    return platform::ReadProfileString(Ini(), section, key, fallback, size);
  }
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheFallback) {
  EXPECT_EQ(Read("A", "k"), "none");
  WriteFile(Ini(), "[A]\nk=1\n");
  EXPECT_EQ(Read("B", "k"), "none");
  EXPECT_EQ(Read("A", "x"), "none");
  EXPECT_EQ(Read("A", "x", nullptr), "");
  // Windows drops the default's trailing blanks.
  EXPECT_EQ(Read("A", "x", "dflt  "), "dflt");
  EXPECT_EQ(platform::ReadProfileString("", "A", "k", "none", 259), "none");
}

TEST_F(ProfileTest, ReadRulesFollowThePrivateProfileFunctions) {
  WriteFile(Ini(),
            "; comment=1\r\n"
            "[ Editor ]\r\n"
            "  Show Parameters =   true  \r\n"
            "quoted=\"  spaced  \"\r\n"
            "empty=\r\n"
            "novalue\r\n"
            ";k=commented\r\n"
            "dup=first\r\n"
            "dup=second\r\n"
            "[editor]\r\n"
            "later=in second section\r\n"
            "[Other]\r\n"
            "k=other");
  EXPECT_EQ(Read("EDITOR", "show parameters"), "true");
  EXPECT_EQ(Read("Editor", "quoted"), "  spaced  ");
  EXPECT_EQ(Read("Editor", "empty"), "");  // present but empty: not the fallback
  EXPECT_EQ(Read("Editor", "novalue"), "none");
  EXPECT_EQ(Read("Editor", ";k"), "none");
  EXPECT_EQ(Read("Editor", "dup"), "first");
  // Only the first section of a name is searched.
  EXPECT_EQ(Read("Editor", "later"), "none");
  EXPECT_EQ(Read("other", "K"), "other");  // last line without a line ending
}

TEST_F(ProfileTest, AnswersHoldAtMostBufferSizeMinusOneCharacters) {
  WriteFile(Ini(), "[A]\nk=" + std::string(100, 'p') + "\n");
  EXPECT_EQ(Read("A", "k", "", 64), std::string(63, 'p'));
  EXPECT_EQ(Read("A", "k", "", 1), "");
  EXPECT_EQ(Read("A", "k", "", 0), "");
  EXPECT_EQ(Read("A", "missing", "fallback", 4), "fal");
}

TEST_F(ProfileTest, WritingCreatesFileAndSectionThenUpdatesInPlace) {
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "Tape Read", "Threshold", "50"));
  EXPECT_EQ(ReadFile(Ini()), "[Tape Read]\nThreshold=50\n");
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "tape read", "Highpass Enabled", "true"));
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "Global", "Path", "/x"));
  // The key keeps its place and its spelling in the file.
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "TAPE READ", "threshold", "75"));
  EXPECT_EQ(ReadFile(Ini()), "[Tape Read]\nThreshold=75\nHighpass Enabled=true\n[Global]\nPath=/x\n");
  EXPECT_FALSE(std::filesystem::exists(Ini() + ".tmp"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Home()), {}), 1);
}

TEST_F(ProfileTest, WritesPreserveEveryOtherByte) {
  const std::string head = "\xEF\xBB\xBF; settings\r\n\r\n[First]\r\n  a = 1 \r\n; note\r\n";
  const std::string tail = "\r\n\r\n[Second]\r\nb=2\r\n\tc\t=\t3\r\n";
  WriteFile(Ini(), head + "key=old" + tail);
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "first", "KEY", "new value"));
  EXPECT_EQ(ReadFile(Ini()), head + "key=new value" + tail);

  // A new key goes after the section's last line, above the blank lines before the next
  // section, with the file's own CRLF ending.
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "First", "added", "4"));
  EXPECT_EQ(ReadFile(Ini()), head + "key=new value\r\nadded=4" + tail);

  ASSERT_TRUE(platform::WriteProfileString(Ini(), "First", "added", nullptr));
  EXPECT_EQ(ReadFile(Ini()), head + "key=new value" + tail);
  // Deleting what is not there changes nothing.
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "First", "absent", nullptr));
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "Absent", nullptr, nullptr));
  EXPECT_EQ(ReadFile(Ini()), head + "key=new value" + tail);
  EXPECT_EQ(Read("second", "C"), "3");
}

TEST_F(ProfileTest, NullKeyDeletesOneSectionOnly) {
  WriteFile(Ini(), "[A]\na=1\n\n[B]\nb=2\n; kept\n[C]\nc=3");
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "b", nullptr, nullptr));
  EXPECT_EQ(ReadFile(Ini()), "[A]\na=1\n\n[C]\nc=3");
  // Appending to a file whose last line has no ending gives that line one first.
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "C", "d", "4"));
  EXPECT_EQ(ReadFile(Ini()), "[A]\na=1\n\n[C]\nc=3\nd=4\n");
}

TEST_F(ProfileTest, WriteProfileSectionReplacesOrEmptiesTheBody) {
  const std::string head = "; top\n[Startup Bank]\n";
  const std::string tail = "\n[MIDI Control]\nCC1=3\n";
  WriteFile(Ini(), head + "File=/a.fxb\n; gone with the body\nOld=1\n" + tail);
  ASSERT_TRUE(platform::WriteProfileSection(Ini(), "startup bank", {"File=/b.fxb"}));
  EXPECT_EQ(ReadFile(Ini()), head + "File=/b.fxb\n" + tail);
  ASSERT_TRUE(platform::WriteProfileSection(Ini(), "Startup Bank", {}));
  EXPECT_EQ(ReadFile(Ini()), head + tail);
  EXPECT_EQ(Read("Startup Bank", "File"), "none");
  ASSERT_TRUE(platform::WriteProfileSection(Ini(), "New", {"x=1", "y=2"}));
  EXPECT_EQ(ReadFile(Ini()), head + tail + "[New]\nx=1\ny=2\n");
}

TEST_F(ProfileTest, RefusesLineBreaksAndUnwritablePaths) {
  WriteFile(Ini(), "[A]\nk=1\n");
  EXPECT_FALSE(platform::WriteProfileString(Ini(), "A", "k", "1\n[Injected]"));
  EXPECT_FALSE(platform::WriteProfileString(Ini(), "A", "k\r", "1"));
  EXPECT_FALSE(platform::WriteProfileSection(Ini(), "A", {"k=1\nz=2"}));
  EXPECT_EQ(ReadFile(Ini()), "[A]\nk=1\n");
  EXPECT_FALSE(platform::WriteProfileString(Path("missing/dir.ini"), "A", "k", "1"));
  EXPECT_FALSE(platform::WriteProfileString("", "A", "k", "1"));
  EXPECT_FALSE(std::filesystem::exists(Path("missing")));
}

TEST_F(ProfileTest, WritesFollowLinksAndKeepPermissions) {
  WriteFile(Path("dotfiles/settings.ini"), "[A]\nk=1\n");
  std::filesystem::permissions(Path("dotfiles/settings.ini"), std::filesystem::perms(0600));
  std::filesystem::create_symlink(Path("dotfiles/settings.ini"), Ini());
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "A", "k", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(Ini()));
  EXPECT_EQ(ReadFile(Path("dotfiles/settings.ini")), "[A]\nk=2\n");
  EXPECT_EQ(std::filesystem::status(Ini()).permissions(), std::filesystem::perms(0600));
}

TEST_F(ProfileTest, ConcurrentWritersLoseNoKey) {
  // Two instances saving at once from different threads: each read-modify-write is whole.
  auto writer = [this](const char* section) {
    for (int i = 0; i < 50; ++i) {
      platform::WriteProfileString(Ini(), section, ("k" + std::to_string(i)).c_str(), "v");
    }
  };
  std::thread first(writer, "One");
  std::thread second(writer, "Two");
  first.join();
  second.join();
  for (int i = 0; i < 50; ++i) {
    const std::string key = "k" + std::to_string(i);
    EXPECT_EQ(Read("One", key.c_str()), "v");
    EXPECT_EQ(Read("Two", key.c_str()), "v");
  }
}

}  // namespace
