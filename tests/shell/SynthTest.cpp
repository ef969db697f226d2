// The shell's own operations on an in-process instance: reset, activation, program
// switching, copy and paste, held keys, tuning answers and the configuration it reads.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Tesvar.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

using shell_test::Recorded;

class ChangeCounter : public Tesvar {
 public:
  ChangeCounter() : Tesvar(shell_test::RecordingHost) {}
  void ParameterChanged(int index) override {
    ++changes;
    Tesvar::ParameterChanged(index);
  }
  int changes = 0;
};

class SynthTest : public shell_test::TempHome {
 protected:
  void TearDown() override {
    plug.reset();
    TempHome::TearDown();
  }
  ChangeCounter& Make() {
    plug = std::make_unique<ChangeCounter>();
    Recorded().Clear();
    return *plug;
  }
  std::unique_ptr<ChangeCounter> plug;
};

TEST_F(SynthTest, ConstructionLabelsOutputsAndCreatesTheSettingsFile) {
  Synth& synth = Make();
  EXPECT_EQ(synth.Output(0).label, "Tesvar Left ");
  EXPECT_EQ(synth.Output(1).label, "Tesvar Right ");
  EXPECT_TRUE(std::filesystem::is_regular_file(Ini()));
  EXPECT_EQ(synth.Settings().path, Ini());
  for (int entry : synth.Settings().controllerMap) EXPECT_EQ(entry, -1);
  // Without a tuning library: equal temperament, nothing filtered.
  EXPECT_EQ(synth.PitchCodeForNote(69), 69 * 128);
  EXPECT_EQ(synth.PitchCodeForNote(0), 0);
  EXPECT_FALSE(synth.ShouldFilterNote(61));
}

TEST_F(SynthTest, ResetSizesTheQueueEmptiesHeldKeysAndRecomputesTheTick) {
  Synth& synth = Make();
  synth.SetHeldKey(60, 100);
  synth.SetHeldKey(64, 90);
  synth.SetHeldKey(60, 80);  // replaces
  EXPECT_EQ(synth.HeldKeyCount(), 2);
  EXPECT_EQ(synth.HeldVelocity(60), 80);
  EXPECT_EQ(synth.HighestHeldKey(), 64);
  synth.SetHeldKey(64, 0);
  EXPECT_EQ(synth.HeldKeyCount(), 1);

  synth.ChangeSampleRate(48000.0);
  synth.ChangeBlockSize(1000);
  synth.ResetEngine();
  EXPECT_EQ(synth.ControlTick(), 48);
  EXPECT_EQ(synth.QueuedMidi().Capacity(), 1024);
  EXPECT_EQ(synth.HeldKeyCount(), 0);
  synth.ChangeSampleRate(96000.7);
  synth.ChangeBlockSize(64);
  synth.ResetEngine();
  EXPECT_EQ(synth.ControlTick(), 96);
  EXPECT_EQ(synth.QueuedMidi().Capacity(), 512);
}

TEST_F(SynthTest, SwitchingOnRederivesEveryParameter) {
  ChangeCounter& synth = Make();
  synth.changes = 0;
  synth.ActivationChanged(false);
  EXPECT_EQ(synth.changes, 0);
  synth.ActivationChanged(true);
  EXPECT_EQ(synth.changes, kParamCount);
}

TEST_F(SynthTest, SwitchProgramKeepsEditsAndTellsTheHost) {
  Synth& synth = Make();
  synth.SetParamFromEditor(kVcfCutoff, 0.5);
  const double edited = synth.GetParam(kVcfCutoff)->Value();
  Recorded().Clear();
  synth.SwitchProgram(16);
  EXPECT_EQ(synth.CurrentProgram(), 16);
  EXPECT_EQ(Recorded().Count(vst::audioMasterUpdateDisplay), 1);
  EXPECT_EQ(Recorded().automations.size(), static_cast<std::size_t>(kParamCount));
  synth.SwitchProgram(0);
  EXPECT_EQ(synth.GetParam(kVcfCutoff)->Value(), edited);
}

TEST_F(SynthTest, PasteAppliesTheCopyUnderTheSourceProgramsName) {
  Synth& synth = Make();
  synth.PasteProgram();  // nothing copied yet: nothing happens
  EXPECT_EQ(synth.ProgramName(0), "Fat Brass");
  synth.SwitchProgram(3);
  std::vector<double> copied;
  for (int i = 0; i < kParamCount; ++i) copied.push_back(synth.GetParam(i)->Value());
  synth.CopyProgram();
  synth.SwitchProgram(5);
  synth.ModifyCurrentPreset(nullptr);
  synth.SwitchProgram(3);
  synth.ModifyCurrentPreset("Renamed Since");
  synth.SwitchProgram(5);
  Recorded().Clear();
  synth.PasteProgram();
  EXPECT_EQ(synth.CurrentProgram(), 5);
  EXPECT_EQ(synth.ProgramName(5), "Renamed Since");
  for (int i = 0; i < kParamCount; ++i) EXPECT_EQ(synth.GetParam(i)->Value(), copied[i]) << i;
  EXPECT_EQ(Recorded().automations.size(), static_cast<std::size_t>(kParamCount));
  // The pasted values were stored into the program.
  synth.SwitchProgram(0);
  synth.SwitchProgram(5);
  for (int i = 0; i < kParamCount; ++i) EXPECT_EQ(synth.GetParam(i)->Value(), copied[i]) << i;
}

TEST_F(SynthTest, ConfigurationIsReadAtConstructionAndOnRequest) {
  WriteFile(Ini(),
            "[MIDI Global]\nMIDI Thru=TRUE\nIgnore Program Change=yes\n"
            "[Editor]\nShow Parameters=TRUE\nOpen Alt View=true\n"
            "[MIDI Control]\nCC7=16\nCC8=x\nCC9=0\n");
  Synth& synth = Make();
  EXPECT_TRUE(synth.Settings().midiThru);
  EXPECT_FALSE(synth.Settings().ignoreProgramChange);
  EXPECT_FALSE(synth.Settings().showParameters);
  EXPECT_TRUE(synth.Settings().openAltView);
  EXPECT_EQ(synth.Settings().controllerMap[7], 16);
  EXPECT_EQ(synth.Settings().controllerMap[8], -1);
  EXPECT_EQ(synth.Settings().controllerMap[9], 0);

  // Save, change the file behind the plug-in's back, reload.
  synth.SetControllerMapping(7, -1);
  synth.SetControllerMapping(20, kVcfCutoff);
  synth.WriteConfiguration(shell::ConfigurationScope::kAll);
  const std::string saved = ReadFile(Ini());
  EXPECT_NE(saved.find("CC20=16"), std::string::npos);
  EXPECT_EQ(saved.find("CC7="), std::string::npos);
  WriteFile(Ini(), "[MIDI Control]\nCC21=17\n");
  EXPECT_EQ(synth.ReadConfiguration(), shell::ConfigurationStatus::kDone);
  EXPECT_EQ(synth.Settings().controllerMap[20], -1);
  EXPECT_EQ(synth.Settings().controllerMap[21], 17);
  std::filesystem::remove(Ini());
  EXPECT_EQ(synth.ReadConfiguration(), shell::ConfigurationStatus::kFileMissing);
}

TEST_F(SynthTest, AMissingStartupBankFallsBackToTheFactoryBankInMemoryOnly) {
  WriteFile(Ini(), "[Startup Bank]\nFile=" + Path("gone.fxb") + "\n");
  Synth& synth = Make();
  EXPECT_TRUE(synth.Settings().startupBank.empty());
  EXPECT_EQ(synth.ProgramName(0), "Fat Brass");
  EXPECT_EQ(synth.ProgramName(16), "Solo Brass");
  EXPECT_NE(ReadFile(Ini()).find("gone.fxb"), std::string::npos);
}

}  // namespace
