// The INI layer on Windows: the real private-profile functions, put through the scenarios
// of the POSIX layer's tests, with the same answers. Files written here use the system's
// CR LF line ends, so file texts are compared with LF line ends.
#include "platform/Platform.h"
#include "tests/windows/WineSupport.h"

#include <cstdio>
#include <thread>

namespace {

class ProfileTest : public wintest::TempFolder {
 protected:
  std::string Ini() const { return Path("settings.ini"); }
  std::string Read(const char* section, const char* key, const char* fallback = "none", std::size_t size = 259) const {
    return platform::ReadProfileString(Ini(), section, key, fallback, size);
  }
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheFallback) {
  EXPECT_EQ(Read("A", "k"), "none");
  wintest::WriteFile(Ini(), "[A]\nk=1\n");
  EXPECT_EQ(Read("B", "k"), "none");
  EXPECT_EQ(Read("A", "x"), "none");
  EXPECT_EQ(Read("A", "x", nullptr), "");
  EXPECT_EQ(Read("A", "x", "dflt  "), "dflt");
  // An empty path must not reach the system, which would read WIN.INI instead.
  EXPECT_EQ(platform::ReadProfileString("", "A", "k", "none", 259), "none");
}

TEST_F(ProfileTest, ReadRulesFollowThePrivateProfileFunctions) {
  wintest::WriteFile(Ini(),
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
  EXPECT_EQ(Read("Editor", "empty"), "");
  EXPECT_EQ(Read("Editor", "novalue"), "none");
  // The one difference from the POSIX layer, which skips ';' lines as comments: the system
  // functions take ";k" for a key name like any other. No key of ours starts with ';'.
  EXPECT_EQ(Read("Editor", ";k"), "commented");
  EXPECT_EQ(Read("Editor", "dup"), "first");
  EXPECT_EQ(Read("other", "K"), "other");
}

TEST_F(ProfileTest, AnswersHoldAtMostBufferSizeMinusOneCharacters) {
  wintest::WriteFile(Ini(), "[A]\nk=" + std::string(100, 'p') + "\n");
  EXPECT_EQ(Read("A", "k", "", 64), std::string(63, 'p'));
  EXPECT_EQ(Read("A", "k", "", 1), "");
  EXPECT_EQ(Read("A", "k", "", 0), "");
  EXPECT_EQ(Read("A", "missing", "fallback", 4), "fal");
}

TEST_F(ProfileTest, WritingCreatesFileAndSectionThenUpdatesInPlace) {
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "Tape Read", "Threshold", "50"));
  EXPECT_EQ(wintest::WithLf(wintest::ReadFile(Ini())), "[Tape Read]\nThreshold=50\n");
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "tape read", "Highpass Enabled", "true"));
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "Global", "Path", "C:\\x"));
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "TAPE READ", "threshold", "75"));
  const std::string text = wintest::WithLf(wintest::ReadFile(Ini()));
  // The key keeps its place; the sections keep their order.
  EXPECT_LT(text.find("[Tape Read]"), text.find("Highpass Enabled=true"));
  EXPECT_LT(text.find("Highpass Enabled=true"), text.find("[Global]"));
  EXPECT_EQ(Read("Tape Read", "Threshold"), "75");
  EXPECT_EQ(Read("Global", "Path"), "C:\\x");
}

TEST_F(ProfileTest, DeletingKeysAndSections) {
  wintest::WriteFile(Ini(), "[A]\na=1\n\n[B]\nb=2\n[C]\nc=3");
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "b", nullptr, nullptr));
  EXPECT_EQ(Read("B", "b"), "none");
  EXPECT_EQ(Read("A", "a"), "1");
  EXPECT_EQ(Read("C", "c"), "3");
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "C", "d", "4"));
  ASSERT_TRUE(platform::WriteProfileString(Ini(), "C", "c", nullptr));
  EXPECT_EQ(Read("C", "c"), "none");
  EXPECT_EQ(Read("C", "d"), "4");
}

TEST_F(ProfileTest, WriteProfileSectionReplacesOrEmptiesTheBody) {
  wintest::WriteFile(Ini(), "; top\n[Startup Bank]\nFile=C:\\a.fxb\nOld=1\n\n[MIDI Control]\nCC1=3\n");
  ASSERT_TRUE(platform::WriteProfileSection(Ini(), "startup bank", {"File=C:\\b.fxb"}));
  EXPECT_EQ(Read("Startup Bank", "File"), "C:\\b.fxb");
  EXPECT_EQ(Read("Startup Bank", "Old"), "none");
  ASSERT_TRUE(platform::WriteProfileSection(Ini(), "Startup Bank", {}));
  EXPECT_EQ(Read("Startup Bank", "File"), "none");
  EXPECT_EQ(Read("MIDI Control", "CC1"), "3");
  ASSERT_TRUE(platform::WriteProfileSection(Ini(), "New", {"x=1", "y=2"}));
  EXPECT_EQ(Read("New", "x"), "1");
  EXPECT_EQ(Read("New", "y"), "2");
}

TEST_F(ProfileTest, RefusesLineBreaksAndUnwritablePaths) {
  wintest::WriteFile(Ini(), "[A]\nk=1\n");
  EXPECT_FALSE(platform::WriteProfileString(Ini(), "A", "k", "1\n[Injected]"));
  EXPECT_FALSE(platform::WriteProfileString(Ini(), "A", "k\r", "1"));
  EXPECT_FALSE(platform::WriteProfileSection(Ini(), "A", {"k=1\nz=2"}));
  EXPECT_EQ(wintest::ReadFile(Ini()), "[A]\nk=1\n");
  EXPECT_FALSE(platform::WriteProfileString(Path("missing\\dir.ini"), "A", "k", "1"));
  EXPECT_FALSE(platform::WriteProfileString("", "A", "k", "1"));
  EXPECT_FALSE(platform::PathExists(Path("missing")));
}

std::string Key(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "k%d", i);
  return text;
}

TEST_F(ProfileTest, ConcurrentWritersLoseNoKey) {
  auto writer = [this](const char* section) {
    for (int i = 0; i < 50; ++i) {
      const std::string key = Key(i);
      platform::WriteProfileString(Ini(), section, key.c_str(), "v");
    }
  };
  std::thread first(writer, "One");
  std::thread second(writer, "Two");
  first.join();
  second.join();
  for (int i = 0; i < 50; ++i) {
    const std::string key = Key(i);
    EXPECT_EQ(Read("One", key.c_str()), "v");
    EXPECT_EQ(Read("Two", key.c_str()), "v");
  }
}

}  // namespace
