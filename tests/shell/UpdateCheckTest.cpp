// The update check's reading of answers, its messages and its server setting, with the GET
// replaced by a stand-in (the real exchange: UpdateLoopbackTest.cpp).
#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <stdexcept>

#include "platform/Platform.h"
#include "tests/platform/TempHome.h"
#include "tests/shell/UpdateTestSupport.h"

namespace {

using shell::UpdateDialogs;
using Box = UpdateDialogs::Box;
using Answer = UpdateDialogs::Answer;

// What the stand-in GET answers, and the request it saw.
struct StandIn {
  platform::HttpOutcome outcome = platform::HttpOutcome::kBody;
  std::string body;
  bool fail = false;  // throws instead
  platform::HttpRequest seen;
};
StandIn& Fetch() {
  static StandIn standIn;
  return standIn;
}
platform::HttpOutcome StandInGet(const platform::HttpRequest& request, std::string& body) {
  Fetch().seen = request;
  if (Fetch().fail) throw std::bad_alloc();
  body = Fetch().body;
  return Fetch().outcome;
}

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { Fetch() = StandIn(); }
  // One check against the maker's server answering `body`.
  int Check(const std::string& body, platform::HttpOutcome outcome = platform::HttpOutcome::kBody) {
    Fetch().body = body;
    Fetch().outcome = outcome;
    return shell::CheckForUpdate(dialogs, shell::UpdateServer(), shell::UpdateProduct(), &StandInGet);
  }
  update_test::ScriptedDialogs dialogs;
};

TEST(UpdateVersionText, BuiltFromTheAnswersCharacters) {
  EXPECT_EQ(shell::NewVersionText("1002"), "1.0.2");
  EXPECT_EQ(shell::NewVersionText("1010"), "1.0.10");
  EXPECT_EQ(shell::NewVersionText("1234"), "1.2.34");
  EXPECT_EQ(shell::NewVersionText("2000"), "2.0.0");  // the third character is a zero
  EXPECT_EQ(shell::NewVersionText("1002\r\n"), "1.0.2");
  EXPECT_EQ(shell::NewVersionText(" 1105 "), "1.1.5");
  // Short answers are read no further than they go.
  EXPECT_EQ(shell::NewVersionText("12"), "1.2.");
  EXPECT_EQ(shell::NewVersionText("120"), "1.2.");
  EXPECT_EQ(shell::NewVersionText("7"), "7..");
  EXPECT_EQ(shell::NewVersionText(""), "..");
  EXPECT_EQ(shell::NewVersionText(std::string(5000, '9')).size(), 64u);
}

TEST_F(UpdateCheckTest, AsksTheMakersServerForTheProductsVersion) {
  Check("1001");
  const platform::HttpRequest& r = Fetch().seen;
  EXPECT_FALSE(r.secure);
  EXPECT_EQ(r.host, "www.quellmarkmusic.com");
  EXPECT_EQ(r.port, 80);
  EXPECT_EQ(r.object, "/music/version/?file=tesvar");
  EXPECT_EQ(r.agent, "Tesvar");
  EXPECT_EQ(r.timeoutMs, 10000);
  EXPECT_EQ(r.maxBytes, 65536u);
}

TEST_F(UpdateCheckTest, UpToDateAnswersAndNonNumbersSayUpToDate) {
  for (const char* answer : {"1001", "1000", "0", "-5", "abc", "Not Found", "1001.9"}) {
    dialogs.shown.clear();
    EXPECT_EQ(Check(answer), shell::kUpdateChecked) << answer;
    ASSERT_EQ(dialogs.shown.size(), 1u) << answer;
    EXPECT_EQ(dialogs.shown[0].text, "Your version is up to date.");
    EXPECT_EQ(dialogs.shown[0].caption, "Check Online for Update");
    EXPECT_EQ(dialogs.shown[0].box, Box::kInformation);
  }
  EXPECT_TRUE(dialogs.opened.empty());
}

TEST_F(UpdateCheckTest, ANewerVersionIsOfferedAndOnlyNoOpensNothing) {
  dialogs.answers = {Answer::kYes};
  EXPECT_EQ(Check("1002"), shell::kUpdateChecked);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "A new version of Tesvar is available.\n\n\tYour version: \t1.0.1\n\tNew version: \t1.0.2\n"
            "\nDo you want to go to www.quellmarkmusic.com to get the new version?");
  EXPECT_EQ(dialogs.shown[0].caption, "New Version of Tesvar Detected");
  EXPECT_EQ(dialogs.shown[0].box, Box::kYesNo);
  EXPECT_EQ(dialogs.opened, std::vector<std::string>{"http://www.quellmarkmusic.com/music/vst.html"});

  dialogs.opened.clear();
  dialogs.answers = {Answer::kNo};
  Check("2000");
  EXPECT_NE(dialogs.shown.back().text.find("\tNew version: \t2.0.0\n"), std::string::npos);
  EXPECT_TRUE(dialogs.opened.empty());

  // A box that could not be shown is no No.
  Check("1234");
  EXPECT_NE(dialogs.shown.back().text.find("\tNew version: \t1.2.34\n"), std::string::npos);
  EXPECT_EQ(dialogs.opened.size(), 1u);
}

TEST_F(UpdateCheckTest, HugeNumbersSaturateInsteadOfOverflowing) {
  dialogs.answers = {Answer::kNo, Answer::kNo};
  EXPECT_EQ(Check("99999999999999999999"), shell::kUpdateChecked);
  EXPECT_EQ(dialogs.shown.back().box, Box::kYesNo);
  EXPECT_EQ(Check("-99999999999999999999"), shell::kUpdateChecked);
  EXPECT_EQ(dialogs.shown.back().text, "Your version is up to date.");
}

TEST_F(UpdateCheckTest, HtmlAndOversizedAnswersAreInvalidCalls) {
  EXPECT_EQ(Check("<html><body>404</body></html>"), shell::kUpdateNotAVersion);
  EXPECT_EQ(dialogs.shown.back().text, "Invalid call to www.quellmarkmusic.com.");
  EXPECT_EQ(dialogs.shown.back().box, Box::kError);
  EXPECT_EQ(Check("1002 <"), shell::kUpdateNotAVersion);
  EXPECT_EQ(Check("", platform::HttpOutcome::kTooLarge), shell::kUpdateNotAVersion);
  EXPECT_EQ(dialogs.shown.back().text, "Invalid call to www.quellmarkmusic.com.");
  EXPECT_TRUE(dialogs.opened.empty());
}

TEST_F(UpdateCheckTest, NoAnswerAnEmptyBodyAndExceptionsShowTheError) {
  const std::string error = "An error occurred while contacting www.quellmarkmusic.com.";
  EXPECT_EQ(Check("", platform::HttpOutcome::kNoAnswer), shell::kUpdateNoAnswer);
  EXPECT_EQ(dialogs.shown.back().text, error);
  EXPECT_EQ(dialogs.shown.back().caption, "Check Online for Update");
  EXPECT_EQ(dialogs.shown.back().box, Box::kError);
  EXPECT_EQ(Check(""), shell::kUpdateNoAnswer);
  EXPECT_EQ(dialogs.shown.back().text, error);
  Fetch().fail = true;
  EXPECT_EQ(shell::CheckForUpdate(dialogs, shell::UpdateServer(), shell::UpdateProduct(), &StandInGet),
            shell::kUpdateFailed);
  EXPECT_EQ(dialogs.shown.back().text, error);
  EXPECT_EQ(dialogs.shown.size(), 3u);
}

TEST_F(UpdateCheckTest, AnotherServerIsNamedInTheTextsAndGivesTheProductPage) {
  shell::UpdateServer mirror;
  ASSERT_TRUE(shell::ParseUpdateServer("https://mirror.example.org:8443", mirror));
  Fetch().body = "1002";
  dialogs.answers = {Answer::kYes};
  shell::CheckForUpdate(dialogs, mirror, shell::UpdateProduct(), &StandInGet);
  EXPECT_TRUE(Fetch().seen.secure);
  EXPECT_EQ(Fetch().seen.host, "mirror.example.org");
  EXPECT_EQ(Fetch().seen.port, 8443);
  EXPECT_NE(dialogs.shown.back().text.find("go to mirror.example.org to get"), std::string::npos);
  EXPECT_EQ(dialogs.opened.back(), "https://mirror.example.org:8443/music/vst.html");
}

TEST(UpdateServerSetting, TakesHttpAndHttpsAddressesOnly) {
  shell::UpdateServer s;
  ASSERT_TRUE(shell::ParseUpdateServer("http://127.0.0.1:8080", s));
  EXPECT_FALSE(s.secure);
  EXPECT_EQ(s.host, "127.0.0.1");
  EXPECT_EQ(s.port, 8080);
  ASSERT_TRUE(shell::ParseUpdateServer("HTTPS://Mirror.example.org/", s));
  EXPECT_TRUE(s.secure);
  EXPECT_EQ(s.host, "Mirror.example.org");
  EXPECT_EQ(s.port, 443);
  ASSERT_TRUE(shell::ParseUpdateServer("  http://[::1]:81  ", s));
  EXPECT_EQ(s.host, "::1");
  EXPECT_EQ(s.port, 81);
  EXPECT_EQ(shell::ServerAddress(s), "http://[::1]:81");

  const shell::UpdateServer before = s;
  for (const char* bad :
       {"", "ftp://host", "host:80", "http://", "http://:80", "http://host:", "http://host:0", "http://host:65536",
        "http://host:8x", "http://host/path", "http://ho st", "http://[::1", "http://a:b:c", "file:///etc/passwd"}) {
    EXPECT_FALSE(shell::ParseUpdateServer(bad, s)) << bad;
  }
  EXPECT_EQ(s.host, before.host);
  EXPECT_EQ(s.port, before.port);

  EXPECT_EQ(shell::ServerAddress(shell::UpdateServer()), "http://www.quellmarkmusic.com");
}

class UpdateServerConfiguration : public TempHome {};

TEST_F(UpdateServerConfiguration, TheGlobalKeyReplacesSchemeHostAndPort) {
  const std::string ini = Path("tesvar.ini");
  EXPECT_EQ(shell::ConfiguredUpdateServer(ini).host, "www.quellmarkmusic.com");  // no file
  WriteFile(ini, "[Global]\nUpdate Server=http://127.0.0.1:4321\n");
  const shell::UpdateServer s = shell::ConfiguredUpdateServer(ini);
  EXPECT_EQ(s.host, "127.0.0.1");
  EXPECT_EQ(s.port, 4321);
  WriteFile(ini, "[Global]\nUpdate Server=gopher://x\n");
  EXPECT_EQ(shell::ConfiguredUpdateServer(ini).host, "www.quellmarkmusic.com");
  EXPECT_EQ(shell::ConfiguredUpdateServer("").port, 80);
}

}  // namespace
