// The tuning client against a stand-in tuning library: retuned pitch codes, filtered
// notes, and equal temperament whenever the library or its master is missing.
#include "shell/TuningClient.h"

#include <gtest/gtest.h>

#include <cmath>
#include <atomic>
#include <limits>
#include <thread>

#include "platform/Platform.h"

namespace {

double EqualTempered(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

class TuningClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::TuningBinding::Release();
    // The same path opens the same loaded library as the binding's.
    double_ = platform::OpenLibrary(TESVAR_MTS_DOUBLE_PATH);
    ASSERT_NE(double_, nullptr);
    Control<void (*)()>("MtsDouble_Reset")();
  }

  void TearDown() override {
    shell::TuningBinding::Release();
    platform::CloseLibrary(double_);
  }

  template <typename Function>
  Function Control(const char* name) {
    return reinterpret_cast<Function>(platform::FindSymbol(double_, name));
  }

  void SetMaster(bool present) { Control<void (*)(bool)>("MtsDouble_SetMaster")(present); }
  void SetTableGiven(bool given) { Control<void (*)(bool)>("MtsDouble_SetTableGiven")(given); }
  void SetFrequency(int note, double hz) { Control<void (*)(int, double)>("MtsDouble_SetFrequency")(note, hz); }
  void SetFiltered(int note, bool on) { Control<void (*)(int, bool)>("MtsDouble_SetFiltered")(note, on); }
  int Clients() { return Control<int (*)()>("MtsDouble_Clients")(); }
  int LastChannel() { return Control<int (*)()>("MtsDouble_LastChannel")(); }
  int FilterQueries() { return Control<int (*)()>("MtsDouble_FilterQueries")(); }

  void FillEqualTempered() {
    for (int note = 0; note < 128; ++note) SetFrequency(note, EqualTempered(note));
  }

  void BindDouble() { shell::TuningBinding::EnsureBound(TESVAR_MTS_DOUBLE_PATH); }

  void ExpectEqualTemperament(shell::TuningClient& client) {
    for (int note : {0, 21, 60, 61, 69, 127}) {
      SCOPED_TRACE(note);
      EXPECT_EQ(shell::PitchCodeForNote(&client, note), note * 128);
      EXPECT_FALSE(shell::ShouldFilterNote(client, note));
      EXPECT_DOUBLE_EQ(shell::NoteFrequency(client, note), EqualTempered(note));
    }
  }

  void* double_ = nullptr;
};

TEST_F(TuningClientTest, WithoutLibraryEverythingIsEqualTempered) {
  shell::TuningBinding::EnsureBound("/nonexistent/libMTS.so");
  EXPECT_FALSE(shell::TuningBinding::IsLibraryLoaded());
  // Bound once: a library appearing later is not looked for again.
  BindDouble();
  EXPECT_FALSE(shell::TuningBinding::IsLibraryLoaded());
  SetMaster(true);
  FillEqualTempered();
  SetFrequency(69, 432.0);
  auto client = shell::CreateTuningClient();
  EXPECT_EQ(client->ScaleName(), "12-TET");
  EXPECT_EQ(Clients(), 0);
  ExpectEqualTemperament(*client);
  EXPECT_EQ(shell::PitchCodeForNote(nullptr, 69), 8832);
}

TEST_F(TuningClientTest, WithoutMasterOrTableEverythingIsEqualTempered) {
  SetFrequency(69, 432.0);
  SetFiltered(61, true);
  BindDouble();
  ASSERT_TRUE(shell::TuningBinding::IsLibraryLoaded());
  auto client = shell::CreateTuningClient();
  EXPECT_FALSE(shell::TuningBinding::HasMaster());
  ExpectEqualTemperament(*client);
  EXPECT_EQ(FilterQueries(), 0);

  // A master is present only when the library handed out its table at binding.
  client.reset();
  shell::TuningBinding::Release();
  SetTableGiven(false);
  SetMaster(true);
  BindDouble();
  client = shell::CreateTuningClient();
  EXPECT_FALSE(shell::TuningBinding::HasMaster());
  ExpectEqualTemperament(*client);
}

TEST_F(TuningClientTest, MasterWithEqualTemperamentGivesNoteTimes128) {
  FillEqualTempered();
  SetMaster(true);
  BindDouble();
  auto client = shell::CreateTuningClient();
  ASSERT_TRUE(shell::TuningBinding::HasMaster());
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 21), 2688);
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 60), 7680);
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 69), 8832);
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 127), 16256);
  // 8.1758 Hz lies just below the 8.176 Hz of code 0, and the search cannot go under 4.
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 0), 4);
  // Without a client the note's own code is answered.
  EXPECT_EQ(shell::PitchCodeForNote(nullptr, 60), 7680);
}

TEST_F(TuningClientTest, RetunedNotesFollowTheMasterAsItChanges) {
  FillEqualTempered();
  SetMaster(true);
  BindDouble();
  auto client = shell::CreateTuningClient();
  SetFrequency(60, 440.0);
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 60), 69 * 128);
  EXPECT_DOUBLE_EQ(client->Retuned()[60], 440.0);
  // A quarter tone above middle C lies half-way between the codes of notes 60 and 61.
  SetFrequency(60, EqualTempered(60) * std::pow(2.0, 0.5 / 12.0));
  EXPECT_NEAR(shell::PitchCodeForNote(client.get(), 60), 7680 + 64, 1);
  // Notes are masked to 0..127 before the lookup.
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 69 + 128), 8832);
  // The steps add up to 8636, so the search ends within 8640 -/+ 8636.
  SetFrequency(100, 1.0e9);
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 100), 17276);
  SetFrequency(100, 0.001);
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 100), 4);

  // Master gone: back to equal temperament at the very next query.
  SetMaster(false);
  EXPECT_EQ(shell::PitchCodeForNote(client.get(), 60), 7680);
  EXPECT_DOUBLE_EQ(shell::NoteFrequency(*client, 60), EqualTempered(60));
}

TEST_F(TuningClientTest, UnusableMasterFrequenciesFallBackToEqualTemperament) {
  FillEqualTempered();
  SetMaster(true);
  BindDouble();
  auto client = shell::CreateTuningClient();
  for (double bad : {0.0, -440.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    SCOPED_TRACE(bad);
    SetFrequency(69, bad);
    EXPECT_DOUBLE_EQ(shell::NoteFrequency(*client, 69), 440.0);
    EXPECT_EQ(shell::PitchCodeForNote(client.get(), 69), 8832);
  }
}

TEST_F(TuningClientTest, FilteredNotesAskTheMasterForAnyChannel) {
  SetFiltered(61, true);
  SetMaster(true);
  BindDouble();
  auto client = shell::CreateTuningClient();
  EXPECT_TRUE(shell::ShouldFilterNote(*client, 61));
  EXPECT_EQ(LastChannel(), -1);
  EXPECT_FALSE(shell::ShouldFilterNote(*client, 60));
  EXPECT_TRUE(shell::ShouldFilterNote(*client, 61 + 128));
  SetMaster(false);
  EXPECT_FALSE(shell::ShouldFilterNote(*client, 61));
}

TEST_F(TuningClientTest, ClientsRegisterAndDeregister) {
  BindDouble();
  auto first = shell::CreateTuningClient();
  auto second = shell::CreateTuningClient();
  EXPECT_EQ(Clients(), 2);
  first.reset();
  EXPECT_EQ(Clients(), 1);
  second.reset();
  EXPECT_EQ(Clients(), 0);
}

TEST_F(TuningClientTest, AudioThreadQueriesWhileAnotherInstanceIsCreated) {
  FillEqualTempered();
  SetMaster(true);
  BindDouble();
  auto client = shell::CreateTuningClient();
  std::atomic<bool> wrong{false};
  std::thread audio([&] {
    for (int i = 0; i < 2000; ++i) {
      if (shell::PitchCodeForNote(client.get(), 60) != 7680) wrong = true;
    }
  });
  // Creation of a further instance binds again (a no-op) and registers a client.
  for (int i = 0; i < 20; ++i) {
    shell::TuningBinding::EnsureBound();
    auto other = shell::CreateTuningClient();
  }
  audio.join();
  EXPECT_FALSE(wrong);
  EXPECT_EQ(Clients(), 1);
}

}  // namespace
