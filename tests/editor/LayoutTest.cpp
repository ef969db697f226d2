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
  Box viewSwitch;
  ASSERT_TRUE(FindBox(View::kBoth, -kViewSwitch, &viewSwitch));
  EXPECT_EQ(g.GetControl(2)->Rect(), IRect(viewSwitch.left, viewSwitch.top, viewSwitch.right, viewSwitch.bottom));
  EXPECT_EQ(g.GetControl(0)->Rect(), IRect(0, 0, kPanelWidth, kPanelHeight));

  // Every control of both tables, series unrolled: registered under its key, standing on the
  // table's rectangle (bitmap controls take their size from the decoded PNG, so this also
  // holds the art table's sizes to the files) and bound to the table's number.
  int checked = 0;
  for (const View view : {View::kMain, View::kAlt}) {
    for (const Place& place : view == View::kMain ? MainViewPlaces() : AltViewPlaces()) {
      for (int i = 0; i < place.count; ++i) {
        const int number = NumberOf(place, i);
        const int key = RegistryKey(view, number);
        const IControl* control = layout.Find(key);
        ASSERT_NE(control, nullptr) << "key " << key;
        const Box box = BoxOf(place, i);
        EXPECT_EQ(control->Rect(), IRect(box.left, box.top, box.right, box.bottom)) << "key " << key;
        if (place.kind != Kind::kPresetName && place.kind != Kind::kVersionText && place.kind != Kind::kBackground) {
          EXPECT_EQ(control->ParamIdx(), number) << "key " << key;
        }
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, g.NControls() - 2);  // all but the view switch and the layout's holder
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
