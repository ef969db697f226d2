// The framework controls' value rules: frames, switches, knob drags and wheels, faders, the
// default value, and what a user edit sends to the plug-in.
#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"

using namespace editortest;

namespace {

const IMouseMod kFine{true, false, true, false};

TEST(FrameTest, TheValueChoosesARoundedFrameWithinTheStrip) {
  EXPECT_EQ(FrameForValue(0.0, 5), 1);
  EXPECT_EQ(FrameForValue(0.124, 5), 1);
  EXPECT_EQ(FrameForValue(0.125, 5), 2);  // half away from zero
  EXPECT_EQ(FrameForValue(1.0, 5), 5);
  EXPECT_EQ(FrameForValue(1.7, 5), 5);
  EXPECT_EQ(FrameForValue(-0.3, 5), 1);
  EXPECT_EQ(FrameForValue(0.5, 1), 1);
  EXPECT_EQ(FrameForValue(0.5, 0), 1);
}

TEST(SwitchTest, EachPressStepsOneFrameAndWrapsPastTheLast) {
  Editor e;
  Strip strip(10, 10, 3);
  ISwitchControl* sw = e.Add<ISwitchControl>(5, 5, 1, strip.bitmap);
  EXPECT_EQ(sw->Rect(), IRect(5, 5, 15, 15));  // one frame at the place
  e.Open();
  sw->SetValue(0.0);
  sw->MouseDown(6, 6, kLeft);
  EXPECT_DOUBLE_EQ(sw->Value(), 0.5);
  sw->MouseDoubleClick(6, 6, kLeft);  // a double click is a press
  EXPECT_DOUBLE_EQ(sw->Value(), 1.0);
  sw->MouseDown(6, 6, kLeft);
  EXPECT_DOUBLE_EQ(sw->Value(), 0.0);
  // Each press was sent to the plug-in (integer parameter 0..7: 0.5 snaps to 4).
  EXPECT_EQ(e.plug.events.size(), 3u);
  EXPECT_DOUBLE_EQ(e.plug.GetParam(1)->Value(), 0.0);
  Strip single(10, 10, 1);
  ISwitchControl* one = e.Add<ISwitchControl>(20, 5, -1, single.bitmap);
  one->MouseDown(21, 6, kLeft);
  EXPECT_DOUBLE_EQ(one->Value(), 1.0);
  one->MouseDown(21, 6, kLeft);
  EXPECT_DOUBLE_EQ(one->Value(), 0.0);
}

TEST(KnobTest, DraggingUpRaisesTheValueByTheGearingAndShiftMakesItFiner) {
  Editor e;
  Strip strip(20, 40, 10);  // 20 x 40 frames
  IKnobMultiControl* knob = e.Add<IKnobMultiControl>(0, 0, 0, strip.bitmap, IDirection::kVertical, 2.0);
  e.Open();
  knob->SetValue(0.5);
  knob->MouseDrag(0, 0, 0, -8, kLeft);  // 8 pixels up over a 40-pixel knob at gearing 2
  EXPECT_DOUBLE_EQ(knob->Value(), 0.6);
  knob->MouseDrag(0, 0, 0, 8, kFine);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.59);
  knob->MouseDrag(0, 0, 0, -400, kLeft);
  EXPECT_DOUBLE_EQ(knob->Value(), 1.0);  // clamped
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 100.0);
  knob->MouseWheel(0, 0, kLeft, -3);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.97);
  knob->MouseWheel(0, 0, kFine, 2);
  EXPECT_NEAR(knob->Value(), 0.972, 1e-12);
  IKnobMultiControl* across = e.Add<IKnobMultiControl>(0, 0, -1, strip.bitmap, IDirection::kHorizontal, 1.0);
  across->MouseDrag(0, 0, 5, -50, kLeft);  // 5 pixels right over 20
  EXPECT_DOUBLE_EQ(across->Value(), 0.25);
}

TEST(KnobTest, DoubleClickReturnsToTheFirstValueFromThePluginNotTheDeclaredDefault) {
  Editor e;
  Strip strip(20, 20, 10);
  e.plug.GetParam(0)->SetPlain(80.0);  // the value when the editor is attached
  IKnobMultiControl* knob = e.Add<IKnobMultiControl>(0, 0, 0, strip.bitmap);
  e.Open();
  EXPECT_DOUBLE_EQ(knob->DefaultValue(), 0.8);
  e.plug.HostSetParameter(0, 0.3f);  // later values do not move the default
  e.graphics->Tick();
  EXPECT_FLOAT_EQ(static_cast<float>(knob->Value()), 0.3f);
  knob->MouseDrag(0, 0, 0, -10, kLeft);
  knob->MouseDoubleClick(1, 1, kLeft);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.8);
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 80.0);
  // A control that never had a value from the plug-in has no default: nothing happens.
  IKnobMultiControl* unbound = e.Add<IKnobMultiControl>(30, 0, -1, strip.bitmap);
  unbound->SetValue(0.4);
  unbound->MouseDoubleClick(31, 1, kLeft);
  EXPECT_DOUBLE_EQ(unbound->Value(), 0.4);
}

TEST(FaderTest, TheHandleCentreSnapsToThePointer) {
  Editor e;
  Strip handle(10, 12, 1);
  IFaderControl* fader = e.Add<IFaderControl>(10, 20, 92, 0, handle.bitmap);
  EXPECT_EQ(fader->Rect(), IRect(10, 20, 20, 112));
  e.Open();
  fader->MouseDown(15, 20 + 6, kLeft);  // centre at the top: value 1
  EXPECT_DOUBLE_EQ(fader->Value(), 1.0);
  EXPECT_EQ(fader->HandleRect(), IRect(10, 20, 20, 32));
  fader->MouseDrag(15, 20 + 6 + 40, 0, 40, kLeft);
  EXPECT_DOUBLE_EQ(fader->Value(), 0.5);
  EXPECT_EQ(fader->HandleRect(), IRect(10, 60, 20, 72));
  fader->MouseDrag(15, 500, 0, 400, kLeft);
  EXPECT_DOUBLE_EQ(fader->Value(), 0.0);
  fader->MouseWheel(15, 50, kLeft, 10);
  EXPECT_DOUBLE_EQ(fader->Value(), 0.1);
  EXPECT_TRUE(fader->IsHit(11, 100));
  IFaderControl* handleOnly = e.Add<IFaderControl>(40, 0, 100, -1, handle.bitmap, IDirection::kHorizontal, true);
  handleOnly->SetValue(0.0);
  EXPECT_TRUE(handleOnly->IsHit(41, 1));
  EXPECT_FALSE(handleOnly->IsHit(120, 1));
  handleOnly->MouseDown(40 + 50, 1, kLeft);
  EXPECT_DOUBLE_EQ(handleOnly->Value(), 0.5);
}

TEST(ValueTest, PluginValuesAreShownWithoutSendingAndUserValuesAreSent) {
  Editor e;
  RecordingControl* c = e.Add<RecordingControl>(IRect(0, 0, 10, 10), 0);
  e.Open();
  e.plug.events.clear();
  c->ValueFromPlugin(0.25);
  EXPECT_TRUE(e.plug.events.empty());
  c->ValueFromUser(0.25);  // unchanged: nothing
  EXPECT_TRUE(e.plug.events.empty());
  c->ValueFromUser(0.75);
  EXPECT_EQ(e.plug.events, std::vector<std::string>{"set 0"});
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 75.0);
  c->SetClamp(0.0, 0.5);
  c->ValueFromUser(0.9);
  EXPECT_DOUBLE_EQ(c->Value(), 0.5);
  c->AddAuxParam(2);
  c->AuxValueFromPlugin(0, 0.5);
  EXPECT_DOUBLE_EQ(c->AuxValue(0), 0.5);
  c->AuxValueFromPlugin(3, 0.5);  // no such auxiliary parameter: ignored
}

TEST(ValueTest, LinkedTextControlsShowTheValueTextAndTheName) {
  Editor e;
  IText style;
  ITextControl* value = e.Add<ITextControl>(IRect(0, 20, 50, 30), style);
  ITextControl* name = e.Add<ITextControl>(IRect(0, 30, 50, 40), style);
  RecordingControl* c = e.Add<RecordingControl>(IRect(0, 0, 10, 10), 1);
  c->SetValueTextControl(value);
  c->SetNameTextControl(name);
  e.Open();
  c->ValueFromUser(3.0 / 7.0);
  EXPECT_EQ(value->GetText(), "3 ");
  EXPECT_EQ(name->GetText(), "Octave");
}

TEST(PanelAndTextTest, PanelsFillAndTextsDrawOnlyWhenNotEmpty) {
  Editor e;
  e.Add<IPanelControl>(IRect(0, 0, 200, 100), IColor(255, 10, 20, 30));
  IText style;
  style.color = kColorWhite;
  style.size = 14;
  ITextControl* text = e.Add<ITextControl>(IRect(0, 0, 200, 40), style, "");
  e.Open();
  e.graphics->Tick();
  EXPECT_EQ(PixelAt(*e.graphics, 100, 20), IColor(255, 10, 20, 30));
  text->SetTextFromPlugin("WWWWWWWW");
  e.graphics->Tick();
  int lit = 0;
  for (int x = 0; x < 200; ++x) {
    for (int y = 0; y < 40; ++y) lit += LICE_GETR(PixelAt(*e.graphics, x, y)) > 128 ? 1 : 0;
  }
  EXPECT_GT(lit, 20);
}

}  // namespace
