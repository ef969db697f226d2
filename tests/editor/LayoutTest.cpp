// The panel's layout in a headless editor: every control at its place with its binding, the
// registry, the two views and their switch, and the panel surviving the window's closing.
#include <gtest/gtest.h>

#include <thread>

#include "editor/controls/IQMBrowserControls.h"
#include "editor/framework/Controls.h"
#include "tests/editor/PanelEditorTestSupport.h"

namespace {

using namespace panel;
using panel_test::Alt;
using panel_test::PanelEditorTest;

class LayoutTest : public PanelEditorTest {};

TEST_F(LayoutTest, ControlsStandWhereTheTablesPutThem) {
  Tesvar& plug = MakeEditor();
  PanelLayout& layout = Layout(plug);
  IGraphics& g = Graphics(plug);
  // Drawing order: both backgrounds, then the view switch.
  EXPECT_EQ(g.GetControl(0), layout.Find(kMainBackground));
  EXPECT_EQ(g.GetControl(1), layout.Find(kAltBackground));
  EXPECT_EQ(g.GetControl(2)->Rect(), IRect(9, 1, 25, 27));
  EXPECT_EQ(g.GetControl(0)->Rect(), IRect(0, 0, 1032, 588));

  struct Expect {
    int key;
    IRect rect;
    int param;  // the binding: a parameter, or minus a command
  };
  const Expect expected[] = {
      {kPresetName, {279, 71, 593, 91}, -1},
      {kProgramDisplay, {47, 139, 119, 183}, -kProgramDisplay},
      {kValueDisplay, {165, 207, 237, 251}, -kValueDisplay},
      {kUtilityMenu, {30, 223, 134, 247}, -kUtilityMenu},
      {kEditLed, {65, 304, 83, 312}, -kEditLed},
      {kDown, {32, 348, 72, 384}, -kDown},
      {kFirstKey + 2, {158, 490, 198, 526}, -(kFirstKey + 2)},  // key 3
      {kLastKey, {378, 490, 418, 526}, -kLastKey},
      {kBrowse, {465, 490, 505, 526}, -kBrowse},
      {kLearnLabel, {508, 534, 551, 550}, -kLearnLabel},
      {kUnison, {784, 490, 824, 526}, -kUnison},
      {0, {614, 49, 654, 89}, 0},
      {kEffectsMode, {876, 49, 916, 89}, kEffectsMode},
      {kWheelDestination, {788, 36, 841, 48}, kWheelDestination},
      {kVoices, {884, 487, 953, 525}, kVoices},
      {kDco1Octave, {280, 172, 334, 264}, kDco1Octave},
      {kDco2Octave, {506, 172, 560, 264}, kDco2Octave},
      {kVcfType, {956, 172, 1010, 264}, kVcfType},
      {kEg1Attack, {280, 340, 334, 432}, kEg1Attack},
      {kEg2Release, {730, 340, 784, 432}, kEg2Release},
      {kMgFrequency, {788, 340, 842, 432}, kMgFrequency},
      {Alt(kPresetName), {494, 221, 694, 239}, -1},
      {Alt(kDown), {566, 248, 586, 299}, -kDown},
      {Alt(kLearnLabel), {497, 286, 543, 296}, -kLearnLabel},
      {Alt(kLearn), {494, 283, 548, 299}, -kLearn},
      {Alt(kUnison), {280, 242, 304, 282}, -kUnison},
      {Alt(kLastKey), {974, 242, 998, 282}, -kLastKey},
      {Alt(kTune), {90, 30, 130, 70}, kTune},
      {Alt(kVcfKbdTrack), {635, 30, 675, 70}, kVcfKbdTrack},
      {Alt(kVcfEgIntensity), {571, 30, 611, 70}, kVcfEgIntensity},
      {Alt(kVcfType), {718, 40, 732, 60}, kVcfType},
      {Alt(kEg2Release), {967, 134, 1007, 174}, kEg2Release},
      {kFileSource, {744, 341, 768, 381}, -kFileSource},
      {kClickMode, {727, 472, 741, 492}, -kClickMode},
      {kProgramScroll, {652, 342, 668, 563}, -kProgramScroll},
      {kFirstFileRow + 9, {785, 495, 984, 511}, -(kFirstFileRow + 9)},
      {kFirstProgramRow + 13 + 4, {236, 410, 435, 426}, -(kFirstProgramRow + 17)},  // column 1, row 4
      {kFirstProgramRow + 38, {444, 546, 643, 562}, -(kFirstProgramRow + 38)},
  };
  for (const Expect& e : expected) {
    const IControl* control = layout.Find(e.key);
    ASSERT_NE(control, nullptr) << e.key;
    EXPECT_EQ(control->Rect(), e.rect) << "key " << e.key;
    if (e.param != -1) {
      EXPECT_EQ(control->ParamIdx(), e.param) << "key " << e.key;
    }
  }
  // The alternative view's EG intensity knob stands left of the keyboard tracking knob.
  EXPECT_LT(layout.Find(Alt(kVcfEgIntensity))->Rect().L, layout.Find(Alt(kVcfKbdTrack))->Rect().L);
  // Every sound parameter has a fader in the main view and a control in the other.
  for (int p = kFirstSoundParam; p <= kLastSoundParam; ++p) {
    ASSERT_NE(layout.Find(p), nullptr) << p;
    EXPECT_EQ(layout.Find(p)->Rect().H(), 92) << p;
    ASSERT_NE(layout.Find(Alt(p)), nullptr) << p;
    EXPECT_EQ(layout.Find(Alt(p))->ParamIdx(), p);
  }
  EXPECT_EQ(dynamic_cast<ITextControl*>(layout.Find(kVersionText))->GetText(), "v.1.0.1.0");
}

TEST_F(LayoutTest, TheHotSpotSwitchesViewsInBothViews) {
  Tesvar& plug = MakeEditor();
  PanelLayout& layout = Layout(plug);
  EXPECT_FALSE(plug.GetPanel().AltView());
  EXPECT_FALSE(layout.Find(kMainBackground)->IsHidden());
  EXPECT_TRUE(layout.Find(kAltBackground)->IsHidden());
  EXPECT_TRUE(layout.Find(Alt(kVcfCutoff))->IsHidden());
  EXPECT_TRUE(layout.Find(kFirstProgramRow)->IsHidden());
  Click(plug, 10, 2);
  EXPECT_TRUE(plug.GetPanel().AltView());
  for (int key : {kMainBackground, int{kVcfCutoff}, int{kVolume}, kProgramDisplay, kValueDisplay, kHold}) {
    EXPECT_TRUE(layout.Find(key)->IsHidden()) << key;
  }
  for (int key : {kAltBackground, Alt(kVcfCutoff), Alt(kVolume), Alt(kProgramDisplay), Alt(kHold), int{kFileSource},
                   kFirstFileRow, kFirstProgramRow + 38, kProgramScroll}) {
    EXPECT_FALSE(layout.Find(key)->IsHidden()) << key;
  }
  Click(plug, 10, 2);
  EXPECT_FALSE(plug.GetPanel().AltView());
  EXPECT_TRUE(layout.Find(kFileSource)->IsHidden());
  EXPECT_FALSE(layout.Find(kVcfCutoff)->IsHidden());
}

TEST_F(LayoutTest, HiddenControlsKeepTakingValues) {
  Tesvar& plug = MakeEditor();
  IControl* altCutoff = Layout(plug).Find(Alt(kVcfCutoff));
  ASSERT_TRUE(altCutoff->IsHidden());
  plug.HostSetParameter(kVcfCutoff, 0.25f);
  Graphics(plug).Tick();
  EXPECT_NEAR(altCutoff->Value(), 0.25, 1e-6);
  EXPECT_NEAR(Layout(plug).Find(kVcfCutoff)->Value(), 0.25, 1e-6);
}

TEST_F(LayoutTest, ThePanelSurvivesClosingAndReopeningTheWindow) {
  Tesvar& plug = MakeEditor();
  IControl* knob = Layout(plug).Find(Alt(kVolume));
  Click(plug, 10, 2);
  Keys(plug, {2, 3});
  plug.Dispatch(vst::effEditClose, 0, 0, nullptr, 0.0f);
  plug.HostSetParameter(kVolume, 0.75f);
  Open(plug);
  EXPECT_EQ(Layout(plug).Find(Alt(kVolume)), knob);  // the same controls
  EXPECT_TRUE(plug.GetPanel().AltView());
  EXPECT_NEAR(knob->Value(), 0.75, 1e-6);
  EXPECT_EQ(plug.CurrentProgram(), 10);
  EXPECT_FALSE(knob->IsHidden());
}

// A host may call its idle from a thread of its own: the panel's controls are left to the
// editor's timer, which picks the change up on its own thread.
TEST_F(LayoutTest, IdleFromAnotherThreadLeavesThePanelAlone) {
  Tesvar& plug = MakeEditor();
  Click(plug, 10, 2);
  Midi(plug, 0xC0, 30, 0);  // a program change, as the audio thread would deliver it
  std::thread host([&] { plug.Dispatch(vst::effIdle, 0, 0, nullptr, 0.0f); });
  host.join();
  EXPECT_EQ(plug.GetPanel().GetBrowser().Selected(ListKind::kPrograms), 0);
  Graphics(plug).Tick();
  EXPECT_EQ(plug.GetPanel().GetBrowser().Selected(ListKind::kPrograms), 30);
}

TEST_F(LayoutTest, OpenAltViewChoosesTheFirstView) {
  WriteFile(Ini(), "[Editor]\nOpen Alt View=true\n");
  Tesvar& plug = MakeEditor();
  EXPECT_TRUE(plug.GetPanel().AltView());
  EXPECT_TRUE(Layout(plug).Find(kMainBackground)->IsHidden());
  EXPECT_FALSE(Layout(plug).Find(kAltBackground)->IsHidden());
  EXPECT_FALSE(Layout(plug).Find(kFirstProgramRow)->IsHidden());
  // The program list shows the bank at once.
  auto* row = dynamic_cast<IQMScrollItemControl*>(Layout(plug).Find(kFirstProgramRow));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->Entry().number, "11");
  EXPECT_EQ(row->Entry().name, plug.ProgramName(0));
}

}  // namespace
