// The update check's real exchange (libcurl, or WinINet under Wine) against an HTTP server
// the test starts on 127.0.0.1: every kind of answer, a server that never answers, one that
// closes without a body and ones that stream without end.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/shell/LoopbackServer.h"
#include "tests/shell/UpdateTestSupport.h"

namespace {

using Answer = shell::UpdateDialogs::Answer;
using Clock = std::chrono::steady_clock;

shell::UpdateServer ServerOf(const LoopbackServer& server) {
  shell::UpdateServer s;
  EXPECT_TRUE(shell::ParseUpdateServer(server.Address(), s));
  return s;
}

platform::HttpRequest RequestTo(const LoopbackServer& server, int timeoutMs) {
  platform::HttpRequest r;
  r.host = "127.0.0.1";
  r.port = server.Port();
  r.object = "/music/version/?file=tesvar";
  r.agent = "Tesvar";
  r.timeoutMs = timeoutMs;
  return r;
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

class UpdateLoopbackTest : public ::testing::Test {
 protected:
  int Check(const LoopbackServer& server) {
    return shell::CheckForUpdate(dialogs, ServerOf(server), shell::UpdateProduct());
  }
  const std::string& LastText() const { return dialogs.shown.back().text; }
  update_test::ScriptedDialogs dialogs;
};

TEST_F(UpdateLoopbackTest, TheRequestIsOneGetWithTheAgentAndPath) {
  LoopbackServer server(LoopbackServer::Mode::kAnswer, "1001");
  ASSERT_NE(server.Port(), 0);
  EXPECT_EQ(Check(server), shell::kUpdateChecked);
  const std::string request = server.LastRequest();
  EXPECT_EQ(request.rfind("GET /music/version/?file=tesvar HTTP/1.1\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("User-Agent: Tesvar\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("Host: 127.0.0.1"), std::string::npos) << request;
  EXPECT_EQ(server.Connections(), 1);
  EXPECT_EQ(LastText(), "Your version is up to date.");
}

TEST_F(UpdateLoopbackTest, EachAnswerGivesItsMessage) {
  struct Case {
    const char* body;
    int result;
    const char* text;  // the start of the message
  };
  const Case cases[] = {
      {"1001", shell::kUpdateChecked, "Your version is up to date."},
      {"abc", shell::kUpdateChecked, "Your version is up to date."},
      {"1002", shell::kUpdateChecked, "A new version of Tesvar is available."},
      {"1010\n", shell::kUpdateChecked, "A new version of Tesvar is available."},
      {"<!DOCTYPE html><html><body>Not found</body></html>", shell::kUpdateNotAVersion, "Invalid call to 127.0.0.1."},
      {"", shell::kUpdateNoAnswer, "An error occurred while contacting 127.0.0.1."},
  };
  for (const Case& c : cases) {
    LoopbackServer server(LoopbackServer::Mode::kAnswer, c.body);
    dialogs.answers = {Answer::kNo};
    EXPECT_EQ(Check(server), c.result) << c.body;
    EXPECT_EQ(LastText().rfind(c.text, 0), 0u) << c.body << " gave " << LastText();
  }
  EXPECT_NE(dialogs.shown[3].text.find("\tNew version: \t1.0.10\n"), std::string::npos);
  EXPECT_TRUE(dialogs.opened.empty());  // every offer was answered No
}

TEST_F(UpdateLoopbackTest, AnErrorPageWithoutHtmlIsReadAsANumber) {
  LoopbackServer server(LoopbackServer::Mode::kAnswer, "Not Found", 404);
  EXPECT_EQ(Check(server), shell::kUpdateChecked);
  EXPECT_EQ(LastText(), "Your version is up to date.");
}

TEST_F(UpdateLoopbackTest, YesOpensTheProductPageOnTheSameServer) {
  LoopbackServer server(LoopbackServer::Mode::kAnswer, "1234");
  dialogs.answers = {Answer::kYes};
  Check(server);
  EXPECT_EQ(dialogs.opened, std::vector<std::string>{server.Address() + "/music/vst.html"});
}

TEST_F(UpdateLoopbackTest, AServerThatClosesWithoutAnAnswerIsAnError) {
  LoopbackServer server(LoopbackServer::Mode::kNoResponse);
  EXPECT_EQ(Check(server), shell::kUpdateNoAnswer);
  EXPECT_EQ(LastText(), "An error occurred while contacting 127.0.0.1.");
}

TEST_F(UpdateLoopbackTest, NothingListeningIsAnError) {
  int port = 0;
  {
    LoopbackServer gone(LoopbackServer::Mode::kAnswer, "1002");
    port = gone.Port();
  }
  shell::UpdateServer s;
  s.host = "127.0.0.1";
  s.port = port;
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(shell::CheckForUpdate(dialogs, s, shell::UpdateProduct()), shell::kUpdateNoAnswer);
  EXPECT_LT(SecondsSince(start), 10.5);
}

// Regression: the check had no limit of its own, so a server that accepted and never
// answered held the host's interface for as long as the system allowed.
TEST_F(UpdateLoopbackTest, ASilentServerIsGivenUpAfterTenSeconds) {
  LoopbackServer server(LoopbackServer::Mode::kSilent);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(Check(server), shell::kUpdateNoAnswer);
  const double seconds = SecondsSince(start);
  EXPECT_GT(seconds, 9.0);
  EXPECT_LT(seconds, 13.0);
  EXPECT_EQ(LastText(), "An error occurred while contacting 127.0.0.1.");
}

// The limit covers the whole exchange, not each read: a body that keeps coming slowly is cut.
TEST_F(UpdateLoopbackTest, TheLimitHoldsForASlowBodyToo) {
  LoopbackServer server(LoopbackServer::Mode::kTrickle);
  std::string body;
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(platform::HttpGet(RequestTo(server, 1500), body), platform::HttpOutcome::kNoAnswer);
  const double seconds = SecondsSince(start);
  EXPECT_GT(seconds, 1.3);
  EXPECT_LT(seconds, 4.0);
  EXPECT_TRUE(body.empty());
  EXPECT_GT(server.BytesSent(), 2);
}

// Regression: the answer was collected without a bound, so a server that streamed for ever
// exhausted memory.
TEST_F(UpdateLoopbackTest, AnAnswerOverSixtyFourKilobytesIsInvalid) {
  LoopbackServer server(LoopbackServer::Mode::kStream);
  EXPECT_EQ(Check(server), shell::kUpdateNotAVersion);
  EXPECT_EQ(LastText(), "Invalid call to 127.0.0.1.");
  std::string body = "x";
  EXPECT_EQ(platform::HttpGet(RequestTo(server, 5000), body), platform::HttpOutcome::kTooLarge);
  EXPECT_TRUE(body.empty());
}

TEST_F(UpdateLoopbackTest, SixtyFourKilobytesExactlyAreStillRead) {
  std::string big(64 * 1024, '0');
  big.replace(0, 4, "1002");
  LoopbackServer exact(LoopbackServer::Mode::kAnswer, big);
  std::string body;
  EXPECT_EQ(platform::HttpGet(RequestTo(exact, 5000), body), platform::HttpOutcome::kBody);
  EXPECT_EQ(body.size(), big.size());
  LoopbackServer over(LoopbackServer::Mode::kAnswer, big + "0");
  EXPECT_EQ(platform::HttpGet(RequestTo(over, 5000), body), platform::HttpOutcome::kTooLarge);
}

}  // namespace
