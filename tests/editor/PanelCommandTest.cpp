// The panel's programmer commands on an in-process instance without a window: program and
// parameter selection, DOWN/UP and their repeat, the key-assign buttons, learn, the lit
// states and the displays.
#include <gtest/gtest.h>

#include <thread>

#include "tests/editor/PanelTestSupport.h"

namespace {

using namespace panel;
using panel_test::PanelTest;
using std::chrono::milliseconds;

class PanelCommandTest : public PanelTest {};

TEST_F(PanelCommandTest, ProgramKeysThreeThenFiveSelectProgram35) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  EXPECT_EQ(p.DisplayCode(kProgramDisplay), 0x11);
  EXPECT_TRUE(p.RunCommand(kFirstKey + 2, false));
  EXPECT_EQ(p.DisplayCode(kProgramDisplay), 0x3A);  // "3-"
  EXPECT_EQ(plug.CurrentProgram(), 0);
  shell_test::Recorded().Clear();
  p.RunCommand(kFirstKey + 4, false);
  EXPECT_EQ(plug.CurrentProgram(), 20);
  EXPECT_EQ(p.DisplayCode(kProgramDisplay), 0x35);
  EXPECT_EQ(shell_test::Recorded().Count(vst::audioMasterUpdateDisplay), 1);
  EXPECT_EQ(plug.ProgramName(20), plug.ProgramName(plug.CurrentProgram()));
}

TEST_F(PanelCommandTest, DownAndUpStepThroughTheBankAndWrapAround) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  p.RunCommand(kDown, false);
  EXPECT_EQ(plug.CurrentProgram(), 63);
  EXPECT_EQ(p.DisplayCode(kProgramDisplay), 0x88);
  p.RunCommand(kUp, false);
  EXPECT_EQ(plug.CurrentProgram(), 0);
  p.RunCommand(kUp, false);
  EXPECT_EQ(plug.CurrentProgram(), 1);
  // In the alternative view the arrows always step programs, even in parameter mode.
  p.RunCommand(kParameterMode, false);
  p.RunCommand(kViewSwitch, false);
  p.RunCommand(kUp, false);
  EXPECT_EQ(plug.CurrentProgram(), 2);
  EXPECT_TRUE(p.Lit(kProgramMode));
  EXPECT_FALSE(p.Lit(kParameterMode));
}

// Regression: DOWN and UP in parameter mode told the host and the controls a new value
// that the engine never heard, because ParameterChanged was not called.
TEST_F(PanelCommandTest, ParameterStepIsHeardByTheEngine) {
  Tesvar& before = MakeWithView();
  Tesvar& after = MakeWithView();
  std::vector<panel_test::RecordingEditor::Shown> shown;
  auto* editor = new panel_test::RecordingEditor;
  editor->shown = &shown;
  after.AttachEditor(editor);
  for (Tesvar* plug : {&before, &after}) {
    Set(*plug, kVcfCutoff, 20.4);
    Set(*plug, kVcfResonance, 0.0);
  }
  Panel& p = after.GetPanel();
  p.RunCommand(kParameterMode, false);
  Keys(after, {3, 1});
  EXPECT_EQ(p.GetProgrammer().SelectedParameter(), kVcfCutoff);
  EXPECT_EQ(p.DisplayCode(kParameterDisplay), 0x31);
  EXPECT_EQ(p.DisplayCode(kValueDisplay), 0x20);  // 20.4 shows as 20
  shell_test::Recorded().Clear();
  shown.clear();
  p.RunCommand(kUp, false);
  EXPECT_EQ(after.GetParam(kVcfCutoff)->Value(), 21.0);  // rounded to a whole number
  EXPECT_EQ(p.DisplayCode(kValueDisplay), 0x21);
  EXPECT_FLOAT_EQ(LastAutomation(kVcfCutoff), static_cast<float>(after.GetParam(kVcfCutoff)->Normalised()));
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().index, kVcfCutoff);
  EXPECT_EQ(shown.back().value, 21.0);

  // The same note through both instances: the raised cutoff sounds brighter.
  double brightness[2];
  int k = 0;
  for (Tesvar* plug : {&before, &after}) {
    Midi(*plug, 0x90, 48, 100);
    brightness[k++] = Brightness(Render(*plug, 22050), 4410);
  }
  EXPECT_GT(brightness[1], brightness[0] * 1.02) << brightness[0] << " " << brightness[1];
}

TEST_F(PanelCommandTest, ParameterStepsStayInTheRange) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  p.RunCommand(kParameterMode, false);
  Keys(plug, {3, 1});
  Set(plug, kVcfCutoff, 62.7);
  p.RunCommand(kUp, false);
  p.RunCommand(kUp, false);
  EXPECT_EQ(plug.GetParam(kVcfCutoff)->Value(), 63.0);
  Keys(plug, {1, 1});  // "DCO1 Octave", a list of three
  Set(plug, kDco1Octave, 0.0);
  p.RunCommand(kDown, false);
  EXPECT_EQ(plug.GetParam(kDco1Octave)->Value(), 0.0);
  p.RunCommand(kUp, false);
  EXPECT_EQ(p.DisplayCode(kValueDisplay), 0xB8);  // 8'
  EXPECT_EQ(plug.CurrentProgram(), 0);            // no program changed on the way
  Keys(plug, {3, 3});                             // "VCF KBD Track" 0 ... 1
  Set(plug, kVcfKbdTrack, 0.4);
  p.RunCommand(kUp, false);
  EXPECT_EQ(plug.GetParam(kVcfKbdTrack)->Value(), 1.0);
}

TEST_F(PanelCommandTest, KeyAssignButtonsSetModeAsAnyEditDoes) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  shell_test::Recorded().Clear();
  p.RunCommand(kUnison, false);
  EXPECT_EQ(plug.GetParam(kMode)->Value(), 2.0);
  EXPECT_EQ(plug.Engine().Layout().mode, engine::KeyMode::kUnison);
  EXPECT_FLOAT_EQ(LastAutomation(kMode), 1.0f);
  EXPECT_TRUE(p.Lit(kUnison));
  EXPECT_FALSE(p.Lit(kPoly));
  p.RunCommand(kPoly, false);
  EXPECT_EQ(plug.Engine().Layout().mode, engine::KeyMode::kPoly);
  EXPECT_TRUE(p.Lit(kPoly));

  EXPECT_FALSE(p.Lit(kHold));
  p.RunCommand(kHold, false);
  EXPECT_TRUE(plug.Engine().Hold());
  EXPECT_TRUE(p.Lit(kHold));
  p.RunCommand(kHold, false);
  EXPECT_FALSE(plug.Engine().Hold());
}

TEST_F(PanelCommandTest, ChordCapturesTheHeldNotes) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  for (int note : {67, 60, 64}) Midi(plug, 0x90, note, 100);
  Render(plug, 64);
  p.RunCommand(kChord, false);
  ASSERT_EQ(plug.ChordNoteCount(), 2);
  EXPECT_EQ(plug.ChordNote(0), 4);
  EXPECT_EQ(plug.ChordNote(1), 7);
  EXPECT_EQ(plug.GetParam(kMode)->Value(), 1.0);
  EXPECT_EQ(plug.Engine().Layout().voicesPerNote, 3);
  EXPECT_TRUE(p.Lit(kChord));
  EXPECT_EQ(p.VoicesDigits()[0], 3);
  EXPECT_EQ(p.VoicesDigits()[1], kMinusDigit);

  // A new chord while in Chord mode takes effect although "Mode" does not change. Held
  // chord layers count: keys 50 and 51 sound 50, 54, 57, 51, 55 and 58.
  Set(plug, kVoices, 5.0);
  Midi(plug, 0x90, 50, 100);
  Midi(plug, 0x90, 51, 100);
  Render(plug, 64);
  p.RunCommand(kChord, false);
  ASSERT_EQ(plug.ChordNoteCount(), 5);
  EXPECT_EQ(plug.ChordNote(0), 1);
  EXPECT_EQ(plug.ChordNote(4), 8);
  EXPECT_EQ(plug.Engine().Layout().voicesPerNote, 6);

  // Nothing held (the new grid silenced the keys): the memory stays.
  Render(plug, 64);
  p.RunCommand(kChord, false);
  EXPECT_EQ(plug.ChordNoteCount(), 5);
}

TEST_F(PanelCommandTest, LearnButtonAndItsLabel) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  EXPECT_EQ(p.LearnLabelFrame(), 0);
  p.RunCommand(kLearn, false);
  EXPECT_EQ(plug.LearnState(), shell::LearnMode::kLearning);
  EXPECT_EQ(p.LearnLabelFrame(), 1);
  EXPECT_TRUE(p.Lit(kLearn));
  p.RunCommand(kLearn, true);
  EXPECT_EQ(p.LearnLabelFrame(), 0);
  EXPECT_FALSE(p.Lit(kLearn));
  p.RunCommand(kLearn, true);  // a right click forgets
  EXPECT_EQ(plug.LearnState(), shell::LearnMode::kForgetting);
  EXPECT_EQ(p.LearnLabelFrame(), 2);
}

// Regression: the EDIT LED never lit for "DCO1 Octave" (index 8).
TEST_F(PanelCommandTest, EditLedLightsForEverySoundParameter) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  for (int index = kFirstSoundParam; index <= kLastSoundParam; ++index) {
    p.SelectParameter(index);
    const ParamRecord* param = plug.GetParam(index);
    const double restored = param->Value();
    EXPECT_FALSE(p.Lit(kEditLed)) << index;
    const double other = restored == param->Max() ? param->Min() : param->Max();
    plug.SetParamFromEditor(index, param->ToNormalised(other));
    EXPECT_TRUE(p.Lit(kEditLed)) << index;
    plug.SetParamFromEditor(index, param->ToNormalised(restored));
    Set(plug, index, restored);
    EXPECT_FALSE(p.Lit(kEditLed)) << index;
  }
  // A state cut after five values: the later parameters have no restored value to differ
  // from, and an out-of-range value counts as the value it was clamped to.
  ChunkBuffer state;
  plug.WriteState(state);
  const int valuesAt = 12 + 4 + 4 + static_cast<int>(plug.ProgramName(0).size());
  ChunkBuffer cut;
  cut.Assign(state.Data(), valuesAt + 5 * 8);
  plug.ReadState(cut, 0);
  EXPECT_EQ(plug.LoadedValueCount(), 6);  // five read, the sixth read as 0
  p.SelectParameter(kDco1Octave);
  Set(plug, kDco1Octave, 2.0);
  EXPECT_FALSE(p.Lit(kEditLed));
}

TEST_F(PanelCommandTest, FaderSelectsItsParameterForTheDisplays) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  EXPECT_TRUE(p.Lit(kProgramMode));
  EXPECT_FALSE(p.Lit(kParameterMode));
  p.RunCommand(kFirstKey + 1, false);  // a program digit pending ...
  Set(plug, kVcfEgIntensity, -5.0);
  p.SelectParameter(kVcfEgIntensity);  // ... is forgotten by the fader
  EXPECT_FALSE(p.GetProgrammer().DigitPending());
  EXPECT_TRUE(p.Lit(kParameterMode));
  EXPECT_FALSE(p.Lit(kProgramMode));
  EXPECT_EQ(p.DisplayCode(kParameterDisplay), 0x34);
  EXPECT_EQ(p.DisplayCode(kValueDisplay), 0xA5);
  EXPECT_EQ(p.DisplayCode(kProgramDisplay), 0x11);
  p.SelectParameter(kEffectsMode);  // not on the matrix: ignored
  EXPECT_EQ(p.GetProgrammer().SelectedParameter(), kVcfEgIntensity);
  // In the alternative view the parameter lamp is off, whatever the mode.
  p.RunCommand(kViewSwitch, false);
  EXPECT_FALSE(p.Lit(kParameterMode));
  EXPECT_TRUE(p.Lit(kProgramMode));
}

TEST_F(PanelCommandTest, VoicesDigitsShowPolyphonyAndVoicesPerNote) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  Set(plug, kMode, 0.0);
  Set(plug, kVoices, 2.0);
  EXPECT_EQ(p.VoicesDigits(), (std::array<int, 4>{kBlankDigit, kBlankDigit, kBlankDigit, 6}));
  Set(plug, kVoices, 7.0);
  EXPECT_EQ(p.VoicesDigits(), (std::array<int, 4>{kBlankDigit, kBlankDigit, 6, 4}));
  Set(plug, kMode, 2.0);
  Set(plug, kVoices, 1.0);  // Unison: 8 voices per note, 8 notes
  EXPECT_EQ(p.VoicesDigits(), (std::array<int, 4>{8, kMinusDigit, kBlankDigit, 8}));
  // A chord of eleven notes has no room for the minus.
  const int notes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  plug.SetChordMemory(notes, 10);
  Set(plug, kMode, 1.0);
  EXPECT_EQ(p.VoicesDigits()[0], 1);
  EXPECT_EQ(p.VoicesDigits()[1], 1);
}

TEST_F(PanelCommandTest, HeldUpRepeatsAfter750MsThenEvery100MsUntilRelease) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  p.RunCommand(kParameterMode, false);
  Keys(plug, {3, 1});
  Set(plug, kVcfCutoff, 10.0);
  const PanelTime t0{};
  const auto at = [&](int ms) { return t0 + milliseconds(ms); };
  EXPECT_TRUE(p.Press(kUp, false, t0));
  EXPECT_EQ(plug.GetParam(kVcfCutoff)->Value(), 11.0);  // once at once
  std::vector<int> steps;
  for (int ms = 40; ms <= 1400; ms += 40) {
    const double was = plug.GetParam(kVcfCutoff)->Value();
    p.TimerTick(at(ms));
    if (plug.GetParam(kVcfCutoff)->Value() != was) steps.push_back(ms);
  }
  // Due at 750, 850, ... 1350: each at the first 40 ms tick on or after it.
  EXPECT_EQ(steps, (std::vector<int>{760, 880, 960, 1080, 1160, 1280, 1360}));
  p.Release();
  p.TimerTick(at(2000));
  EXPECT_EQ(plug.GetParam(kVcfCutoff)->Value(), 18.0);

  // Closing the window stops it; program mode and the alternative view never start it.
  p.Press(kDown, false, at(3000));
  view.open = false;
  p.TimerTick(at(3800));
  EXPECT_FALSE(p.Repeat().Running());
  view.open = true;
  p.RunCommand(kProgramMode, false);
  p.Press(kUp, false, at(4000));
  EXPECT_FALSE(p.Repeat().Running());
  p.RunCommand(kParameterMode, false);
  p.RunCommand(kViewSwitch, false);
  p.Press(kUp, false, at(5000));
  EXPECT_FALSE(p.Repeat().Running());
}

TEST_F(PanelCommandTest, IdleRedrawsThePanelOnlyWhenAskedAndTheWindowIsOpen) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  p.Idle();
  const int before = view.panelRefreshes;
  p.Idle();
  EXPECT_EQ(view.panelRefreshes, before);  // nothing new
  view.open = false;
  Set(plug, kVcfCutoff, 5.0);
  plug.IdleTick();
  EXPECT_EQ(view.panelRefreshes, before);
  view.open = true;  // the request waited for the window
  plug.IdleTick();
  EXPECT_EQ(view.panelRefreshes, before + 1);
  p.RunCommand(kBrowse, false);  // every command refreshes at once
  EXPECT_EQ(view.panelRefreshes, before + 2);
}

// The auto-repeat runs on the user-interface thread while the audio thread renders: the
// plug-in lock keeps them apart (the thread sanitizer build checks it).
TEST_F(PanelCommandTest, HoldingUpWhileAudioRendersIsSafe) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  p.RunCommand(kParameterMode, false);
  Keys(plug, {3, 1});
  Set(plug, kVcfCutoff, 0.0);
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    for (int block = 0; !stop && block < 20000; ++block) {
      Midi(plug, block % 2 ? 0x80 : 0x90, 48 + block % 12, 100);
      const std::vector<double> out = Render(plug, 256);
      for (double v : out) ASSERT_TRUE(std::isfinite(v));
    }
  });
  const PanelTime t0{};
  for (int round = 0; round < 3; ++round) {
    const PanelTime start = t0 + std::chrono::seconds(10 * round);
    p.Press(kUp, false, start);
    for (int ms = 0; ms <= 3000; ms += 40) {
      p.TimerTick(start + milliseconds(ms));
      p.DisplayCode(kValueDisplay);
      p.Lit(kEditLed);
      p.VoicesDigits();
      plug.IdleTick();
    }
    p.Release();
    p.RunCommand(kDown, false);
  }
  stop = true;
  audio.join();
  EXPECT_GT(plug.GetParam(kVcfCutoff)->Value(), 20.0);
}

}  // namespace
