// The saved state through the built plug-in: a whole state (an edited, renamed program,
// another current program) from one instance into a fresh one; damaged files of every kind
// set aside whole and reported; where the file lives.
#include "standalone/StateFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/vst2/HostTestSupport.h"
#include "tools/HostPrograms.h"

namespace standalone {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class StateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseTemporaryHome();
    folder_ = fs::path(std::getenv("HOME")) /
              ("state-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    path_ = folder_ / "deeper" / "standalone.fxb";
  }
  // A state saved from an instance with program 35 current, edited and renamed.
  std::vector<std::uint8_t> SavedState() {
    auto host = LoadPlugin();
    host->Dispatch(vst::effSetProgram, 0, 34);
    host->SetParameter(16, 0.25f);
    char name[] = "Saved Here";
    host->Dispatch(vst::effSetProgramName, 0, 0, name);
    host->SetParameter(17, 0.75f);  // an edit not stored into the program yet
    StateFile file(path_.string());
    std::string error;
    EXPECT_TRUE(file.Save(*host, &error)) << error;
    expected_ = SaveBankFile(*host);
    return Bytes(path_);
  }
  fs::path folder_;
  fs::path path_;
  std::vector<std::uint8_t> expected_;
};

TEST_F(StateFileTest, AWholeStateReachesAFreshInstance) {
  SavedState();
  auto fresh = LoadPlugin();
  StateFile file(path_.string());
  EXPECT_EQ(file.Restore(*fresh).kind, RestoreResult::Kind::kRestored);
  EXPECT_EQ(fresh->Dispatch(vst::effGetProgram), 34);
  EXPECT_EQ(fresh->Text(vst::effGetProgramName, 0), "Saved Here");
  EXPECT_NEAR(fresh->GetParameter(16), 0.25f, 1e-6);
  EXPECT_NEAR(fresh->GetParameter(17), 0.75f, 1e-6) << "the edit not yet stored is part of the state";
  EXPECT_EQ(SaveBankFile(*fresh), expected_) << "every program and name alike";
  EXPECT_EQ(std::distance(fs::directory_iterator(path_.parent_path()), fs::directory_iterator()), 1)
      << "the file written first is renamed over the state";
}

TEST_F(StateFileTest, DamagedFilesAreSetAsideWholeAndReported) {
  const std::vector<std::uint8_t> good = SavedState();
  ASSERT_GT(good.size(), 2000u);
  auto with = [&](std::size_t at, const char* text) {
    std::vector<std::uint8_t> bytes = good;
    for (std::size_t i = 0; text[i] != '\0'; ++i) bytes[at + i] = static_cast<std::uint8_t>(text[i]);
    return bytes;
  };
  std::vector<std::uint8_t> garbage(3000);
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
  const std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 2000);
  // The first program's state body begins with its tag.
  const std::string tag = "Tesvar_1.0.0";
  const auto body = std::search(good.begin(), good.end(), tag.begin(), tag.end());
  ASSERT_NE(body, good.end());
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<Case> cases = {
      {"garbage", garbage},
      {"empty", {}},
      {"cut short", truncated},
      {"another plug-in's bank", with(16, "othr")},
      {"a program file", with(8, "FPCh")},
      {"a state body of another kind", with(static_cast<std::size_t>(body - good.begin()), "X")},
  };
  for (const Case& c : cases) {
    fs::remove_all(folder_);
    fs::create_directories(path_.parent_path());
    Write(path_, c.bytes);
    auto host = LoadPlugin();
    StateFile file(path_.string());
    const RestoreResult result = file.Restore(*host);
    EXPECT_EQ(result.kind, RestoreResult::Kind::kSetAside) << c.name;
    EXPECT_FALSE(fs::exists(path_)) << c.name;
    EXPECT_EQ(Bytes(result.asidePath), c.bytes) << c.name << ": set aside whole";
    EXPECT_NE(result.message.find("set aside as " + result.asidePath), std::string::npos) << result.message;
    std::string error;
    EXPECT_TRUE(file.Save(*host, &error)) << c.name << ": " << error;
    EXPECT_TRUE(fs::exists(result.asidePath)) << c.name << ": the next save leaves it";
  }
}

TEST(StatePathTest, FollowsTheXdgRules) {
  struct Case {
    const char* stateHome;  // null: unset
    const char* home;
    const char* configHome;
    const char* expected;
  };
  const Case cases[] = {
      {"/s", "/h", nullptr, "/s/QuellmarkMusic/standalone.fxb"},
      {"relative", "/h", nullptr, "/h/.local/state/QuellmarkMusic/standalone.fxb"},
      {nullptr, "/h", nullptr, "/h/.local/state/QuellmarkMusic/standalone.fxb"},
      {nullptr, nullptr, "/c", "/c/QuellmarkMusic/standalone.fxb"},
  };
  const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  for (const Case& c : cases) {
    auto set = [](const char* name, const char* value) { value != nullptr ? setenv(name, value, 1) : unsetenv(name); };
    set("XDG_STATE_HOME", c.stateHome);
    set("HOME", c.home);
    set("XDG_CONFIG_HOME", c.configHome);
    EXPECT_EQ(DefaultStatePath(), c.expected) << (c.stateHome ? c.stateHome : "-") << " " << (c.home ? c.home : "-");
  }
  unsetenv("XDG_STATE_HOME");
  setenv("HOME", savedHome.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (savedHome + "/.config").c_str(), 1);
}

}  // namespace
}  // namespace standalone
