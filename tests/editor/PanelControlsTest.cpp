// The panel's own controls in a headless editor, used as a user does: knobs and their readout,
// faders with and without "Show Parameters", push buttons, lamps, the program name's entry,
// the voices menu, the browser's rows and scroll bars, and what a drag repaints.
#include <gtest/gtest.h>

#include "editor/controls/IQMBrowserControls.h"
#include "editor/controls/IQMButtons.h"
#include "editor/controls/IQMDisplays.h"
#include "editor/controls/IQMKnobs.h"
#include "tests/editor/PanelEditorTestSupport.h"

namespace {

using namespace panel;
using panel_test::Alt;
using panel_test::PanelEditorTest;

class PanelControlsTest : public PanelEditorTest {};

TEST_F(PanelControlsTest, OnlyContinuousKnobsShowTheReadoutAndOnlyWhileHovered) {
  Tesvar& plug = MakeEditor();
  auto* volume = dynamic_cast<IQMKnobControl*>(Layout(plug).Find(kVolume));
  auto* effects = dynamic_cast<IQMKnobControl*>(Layout(plug).Find(kEffectsMode));
  ASSERT_TRUE(volume && effects);
  const IRect v = volume->Rect();
  const std::vector<LICE_pixel> plain = Painted(plug, v);
  HoverAt(plug, v.L + 20, v.T + 20);
  EXPECT_TRUE(volume->ShowsReadout());
  EXPECT_NE(Pixels(plug, v), plain);  // circle and value drawn by the hover's redraw
  HoverAt(plug, effects->Rect().L + 20, effects->Rect().T + 20);
  EXPECT_FALSE(volume->ShowsReadout());
  EXPECT_FALSE(effects->ShowsReadout());  // a rotary switch never shows it
  EXPECT_EQ(Pixels(plug, v), plain);
}

TEST_F(PanelControlsTest, FadersShowOnHoverOrWithShowParameters) {
  Tesvar& plug = MakeEditor();
  IControl* fader = Layout(plug).Find(kVcfCutoff);
  const IRect r = fader->Rect();
  const std::vector<LICE_pixel> drawn = Painted(plug, r);
  fader->Hide(true);
  const std::vector<LICE_pixel> background = Painted(plug, r);
  fader->Hide(false);
  EXPECT_EQ(drawn, background);  // "Show Parameters" off: the printed scale shows
  HoverAt(plug, r.L + 10, r.T + 10);
  EXPECT_NE(Pixels(plug, r), background);
  HoverAt(plug, 5, 580);
  EXPECT_EQ(Pixels(plug, r), background);
  plug.SetShowParameters(true);
  Graphics(plug).RedrawAll();
  Graphics(plug).Tick();
  EXPECT_NE(Pixels(plug, r), background);
}

TEST_F(PanelControlsTest, PressingAFaderSelectsItsParameterDraggingMovesIt) {
  Tesvar& plug = MakeEditor();
  IControl* fader = Layout(plug).Find(kVcfResonance);
  const double before = plug.GetParam(kVcfResonance)->Value();
  const IRect r = fader->Rect();
  IMouseMod left;
  left.left = true;
  Graphics(plug).OnButtonPress(r.L + 27, r.T + 80, left, false);
  EXPECT_EQ(plug.GetParam(kVcfResonance)->Value(), before);  // a press moves nothing
  EXPECT_TRUE(plug.GetPanel().GetProgrammer().ParameterMode());
  EXPECT_EQ(plug.GetPanel().DisplayCode(kParameterDisplay), 0x32);
  Graphics(plug).OnPointerMove(r.L + 27, r.T + 8, left);
  Graphics(plug).OnButtonRelease(r.L + 27, r.T + 8, left);
  EXPECT_EQ(plug.GetParam(kVcfResonance)->Value(), 7.0);  // the handle at the top
}

TEST_F(PanelControlsTest, ButtonsShowPressedAndLitButFileNeverPressed) {
  Tesvar& plug = MakeEditor();
  auto* key3 = dynamic_cast<IQMButtonKick*>(Layout(plug).Find(kFirstKey + 2));
  auto* program = dynamic_cast<IQMButtonKick*>(Layout(plug).Find(kProgramMode));
  ASSERT_TRUE(key3 && program);
  EXPECT_TRUE(program->Look().lit);
  IMouseMod left;
  left.left = true;
  const IRect r = key3->Rect();
  const std::vector<LICE_pixel> up = Painted(plug, r);
  Graphics(plug).OnButtonPress(r.L + 5, r.T + 5, left, false);
  EXPECT_TRUE(key3->Look().pressed);
  Graphics(plug).Tick();
  EXPECT_NE(Pixels(plug, r), up);
  Graphics(plug).OnButtonRelease(r.L + 5, r.T + 5, left);
  EXPECT_FALSE(key3->Look().pressed);
  Graphics(plug).Tick();
  EXPECT_EQ(Pixels(plug, r), up);
  EXPECT_EQ(plug.GetPanel().DisplayCode(kProgramDisplay), 0x3A);

  ClickKey(plug, kParameterMode);
  EXPECT_FALSE(program->Look().lit);
  Graphics(plug).Tick();
  EXPECT_EQ(Pixels(plug, program->Rect()), Painted(plug, program->Rect()));  // the lamp was redrawn in time

  // FILE (alternative view) answers "not pressed": its press never shows.
  Click(plug, 10, 2);
  auto* file = dynamic_cast<IQMButtonKick*>(Layout(plug).Find(kFileSource));
  Graphics(plug).ScriptFile("");  // the folder dialog is cancelled
  Graphics(plug).OnButtonPress(file->Rect().L + 5, file->Rect().T + 5, left, false);
  EXPECT_FALSE(file->Look().pressed);
  Graphics(plug).OnButtonRelease(file->Rect().L + 5, file->Rect().T + 5, left);
  ASSERT_EQ(Graphics(plug).FileRequests().size(), 1u);
  EXPECT_TRUE(Graphics(plug).FileRequests()[0].save);
  EXPECT_EQ(Graphics(plug).FileRequests()[0].fileName, "[file name is ignored]");
}

TEST_F(PanelControlsTest, LearnAndItsLabelInBothViews) {
  Tesvar& plug = MakeEditor();
  auto* label = dynamic_cast<IQMBitmapControl*>(Layout(plug).Find(kLearnLabel));
  EXPECT_EQ(label->Look(), 0);
  ClickKey(plug, kLearn, false);  // a right click: forget
  EXPECT_EQ(plug.LearnState(), shell::LearnMode::kForgetting);
  EXPECT_EQ(label->Look(), 2);
  ClickKey(plug, kLearn);
  EXPECT_EQ(plug.LearnState(), shell::LearnMode::kOff);
  Click(plug, 10, 2);
  ClickKey(plug, Alt(kLearn));  // the hot spot over the label
  EXPECT_EQ(plug.LearnState(), shell::LearnMode::kLearning);
  EXPECT_EQ(dynamic_cast<IQMBitmapControl*>(Layout(plug).Find(Alt(kLearnLabel)))->Look(), 1);
}

TEST_F(PanelControlsTest, TheProgramNameIsEditedAndCutTo28Characters) {
  Tesvar& plug = MakeEditor();
  plug.SwitchProgram(6);
  Set(plug, kVcfCutoff, 33.0);  // an edit the rename stores
  shell_test::Recorded().Clear();
  ClickKey(plug, kPresetName);
  IGraphicsHeadless& g = Graphics(plug);
  EXPECT_EQ(g.EntryText(), plug.ProgramName(6));
  g.SetEntryText(std::string(40, 'x').c_str());
  g.SetTextEntryState(TextEntry::kCommit);
  g.Tick();
  EXPECT_EQ(plug.ProgramName(6), std::string(28, 'x'));
  EXPECT_EQ(shell_test::Recorded().Count(vst::audioMasterUpdateDisplay), 1);
  EXPECT_EQ(shell_test::Recorded().automations.size(), static_cast<std::size_t>(kParamCount));
  plug.SwitchProgram(7);
  plug.SwitchProgram(6);
  EXPECT_EQ(plug.GetParam(kVcfCutoff)->Value(), 33.0);
  auto* name = dynamic_cast<IQMPresetName*>(Layout(plug).Find(kPresetName));
  EXPECT_EQ(name->Look(), std::string(28, 'x'));
}

TEST_F(PanelControlsTest, VoicesMenuOffersTheSettingsOfTheMode) {
  Tesvar& plug = MakeEditor();
  IGraphicsHeadless& g = Graphics(plug);
  g.ScriptMenuPick(5);
  ClickKey(plug, kVoices);
  ASSERT_EQ(g.Menus().size(), 1u);
  EXPECT_EQ(g.Menus()[0].size(), 8u);
  EXPECT_EQ(plug.GetParam(kVoices)->Value(), 5.0);
  g.OnWheel(900, 500, IMouseMod{}, -1);
  EXPECT_EQ(plug.GetParam(kVoices)->Value(), 4.0);
  Set(plug, kMode, 1.0);  // Chord: settings 2 ... 7
  g.ScriptMenuPick(0);
  ClickKey(plug, kVoices);
  EXPECT_EQ(g.Menus()[1].size(), 6u);
  EXPECT_EQ(plug.GetParam(kVoices)->Value(), 2.0);
  auto* voices = dynamic_cast<IQMVoicesControl*>(Layout(plug).Find(kVoices));
  EXPECT_EQ(voices->Look(), plug.GetPanel().VoicesDigits());
}

TEST_F(PanelControlsTest, BrowserRowsPickBanksAndProgramsAndScroll) {
  Tesvar& plug = MakeEditor();
  PanelLayout& layout = Layout(plug);
  Click(plug, 10, 2);
  plug.SwitchProgram(12);
  ClickKey(plug, kFactorySource);
  auto* bankRow = dynamic_cast<IQMScrollItemControl*>(layout.Find(kFirstFileRow + 2));
  EXPECT_EQ(bankRow->Entry().name, "Veltrum's Factory Sounds");
  EXPECT_EQ(bankRow->Tooltip(), "Veltrum's Factory Sounds");
  // The program list is empty: its bar has no thumb and draws nothing.
  auto* bar = dynamic_cast<IQMScrollControl*>(layout.Find(kProgramScroll));
  EXPECT_FALSE(bar->Thumb().visible);
  const std::vector<LICE_pixel> emptyBar = Painted(plug, bar->Rect());
  bar->Hide(true);
  EXPECT_EQ(Painted(plug, bar->Rect()), emptyBar);
  bar->Hide(false);

  ClickKey(plug, kFirstFileRow + 2);
  EXPECT_TRUE(bankRow->Highlighted());
  auto* programRow = dynamic_cast<IQMScrollItemControl*>(layout.Find(kFirstProgramRow + 5));
  const std::string name = programRow->Entry().name;
  ClickKey(plug, kFirstProgramRow + 5);
  EXPECT_EQ(plug.CurrentProgram(), 12);
  EXPECT_EQ(plug.ProgramName(12), name);
  EXPECT_TRUE(programRow->Highlighted());
  EXPECT_TRUE(bar->Thumb().visible);

  // The bar's lower arrow pages forward; the first row now shows entry 39.
  const IRect r = bar->Rect();
  Click(plug, r.L + 8, r.B - 5);
  EXPECT_EQ(dynamic_cast<IQMScrollItemControl*>(layout.Find(kFirstProgramRow))->Entry().number, "58");
  EXPECT_FALSE(programRow->Highlighted());  // the selection is off this page
  Click(plug, r.L + 8, r.T + 5);
  EXPECT_TRUE(programRow->Highlighted());
}

TEST_F(PanelControlsTest, SwitchesSetTheirParameterOrTheClickMode) {
  Tesvar& plug = MakeEditor();
  Click(plug, 10, 2);
  ClickKey(plug, Alt(kVcfType));
  EXPECT_EQ(plug.GetParam(kVcfType)->Value(), 1.0);
  auto* mode = dynamic_cast<IQMSwitchControl*>(Layout(plug).Find(kClickMode));
  EXPECT_EQ(plug.GetPanel().GetBrowser().Mode(), ClickMode::kSelect);
  EXPECT_EQ(mode->Look(), 2);
  ClickKey(plug, kClickMode);
  EXPECT_EQ(plug.GetPanel().GetBrowser().Mode(), ClickMode::kCopyPaste);
  EXPECT_EQ(mode->Look(), 1);
  // The text toggle flips "Mod.Wheel Destination".
  ClickKey(plug, Alt(kWheelDestination));
  EXPECT_EQ(plug.GetParam(kWheelDestination)->Value(), 1.0);
}

// A drag on one knob repaints that knob's rectangle and nothing else.
TEST_F(PanelControlsTest, AKnobDragRepaintsOnlyTheKnob) {
  Tesvar& plug = MakeEditor();
  IGraphicsHeadless& g = Graphics(plug);
  const IRect knob = Layout(plug).Find(kTune)->Rect();
  IMouseMod left;
  left.left = true;
  g.OnButtonPress(knob.L + 20, knob.T + 20, left, false);
  g.Tick(30);  // the press and anything it set off are drawn; the panel is quiet again
  g.ClearPresented();
  for (int step = 1; step <= 10; ++step) {
    g.OnPointerMove(knob.L + 20, knob.T + 20 - step, left);
    g.Tick();
  }
  g.OnButtonRelease(knob.L + 20, knob.T + 10, left);
  EXPECT_EQ(g.Presented().size(), 10u);
  for (const IRect& r : g.Presented()) EXPECT_EQ(r, knob);
  EXPECT_EQ(g.PresentedArea(), 10LL * knob.W() * knob.H());
}

}  // namespace
