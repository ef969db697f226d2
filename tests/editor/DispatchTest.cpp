// The event dispatch rules: hit testing from the top, skipped controls, capture, gestures,
// keys, mouse-over tracking and the window rules around an open text entry.
#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"

using namespace editortest;

namespace {

const IMouseMod kNone{};

struct DispatchTest : ::testing::Test {
  DispatchTest() {
    background = e.Add<RecordingControl>(IRect(0, 0, 200, 100));
    lower = e.Add<RecordingControl>(IRect(10, 10, 60, 60), 0);
    upper = e.Add<RecordingControl>(IRect(40, 40, 90, 90), 1);
    e.Open();
    e.plug.events.clear();
  }
  Editor e;
  RecordingControl* background;
  RecordingControl* lower;
  RecordingControl* upper;
};

TEST_F(DispatchTest, TheTopmostHitControlTakesThePressAndKeepsTheCaptureUntilRelease) {
  IGraphics& g = *e.graphics;
  g.OnButtonPress(50, 50, kLeft, false);  // both overlap here: the later one is on top
  EXPECT_EQ(upper->log, std::vector<std::string>{"down"});
  EXPECT_TRUE(lower->log.empty());
  EXPECT_EQ(g.CapturedControl(), 2);
  // Dragging far outside still goes to the captured control, with the change since the last move.
  g.OnPointerMove(55, 47, kLeft);
  g.OnPointerMove(55, 47, kLeft);  // no change: no drag
  g.OnPointerMove(150, 90, kLeft);
  g.OnButtonRelease(150, 90, kLeft);
  EXPECT_EQ(upper->log, (std::vector<std::string>{"down", "drag 5,-3", "drag 95,43", "up"}));
  EXPECT_EQ(g.CapturedControl(), -1);
  EXPECT_TRUE(background->log.empty());
  // Bound controls bracket the press in a gesture; unbound ones do not.
  EXPECT_EQ(e.plug.events, (std::vector<std::string>{"begin 1", "end 1"}));
  e.plug.events.clear();
  g.OnButtonPress(150, 20, kLeft, false);
  g.OnButtonRelease(150, 20, kLeft);
  EXPECT_TRUE(e.plug.events.empty());
  EXPECT_EQ(background->log, (std::vector<std::string>{"down", "up"}));
}

TEST_F(DispatchTest, HiddenAndGreyedControlsAreSkippedAndAnAllZeroRectangleNeverHits) {
  IGraphics& g = *e.graphics;
  upper->Hide(true);
  g.OnButtonPress(50, 50, kLeft, false);
  g.OnButtonRelease(50, 50, kLeft);
  EXPECT_EQ(lower->log, (std::vector<std::string>{"down", "up"}));
  upper->Hide(false);
  upper->GrayOut(true);
  EXPECT_FLOAT_EQ(upper->Blend().weight, 0.25f);
  g.OnButtonPress(50, 50, kLeft, false);
  EXPECT_EQ(g.CapturedControl(), 1);
  g.OnButtonRelease(50, 50, kLeft);
  upper->GrayOut(false);
  EXPECT_FLOAT_EQ(upper->Blend().weight, 1.0f);

  upper->SetHitRect(IRect());
  EXPECT_FALSE(upper->IsHit(0, 0));
  upper->SetHitRect(IRect(40, 40, 90, 90));
  EXPECT_TRUE(upper->IsHit(40, 40));   // left and top inclusive
  EXPECT_FALSE(upper->IsHit(90, 50));  // right and bottom exclusive
  EXPECT_FALSE(upper->IsHit(50, 90));
}

TEST_F(DispatchTest, ReleaseWithoutCaptureGoesToTheControlUnderTheMouse) {
  e.graphics->OnButtonRelease(20, 20, kLeft);
  EXPECT_EQ(lower->log, std::vector<std::string>{"up"});
  EXPECT_EQ(e.plug.events, std::vector<std::string>{"end 0"});
}

TEST_F(DispatchTest, DoubleClickGoesToMouseDoubleClickUnlessItActsAsAPressAndIsOneGesture) {
  IGraphics& g = *e.graphics;
  EXPECT_FALSE(g.OnMouseDblClick(20, 20, kLeft));
  EXPECT_EQ(lower->log, std::vector<std::string>{"double"});
  EXPECT_EQ(g.CapturedControl(), 1);
  g.OnButtonRelease(90, 90, kLeft);  // the release closes the gesture on the same control
  EXPECT_EQ(lower->log.back(), "up");
  EXPECT_EQ(e.plug.events, (std::vector<std::string>{"begin 0", "end 0"}));
  lower->SetDoubleClickAsPress(true);
  EXPECT_TRUE(g.OnMouseDblClick(20, 20, kLeft));
  EXPECT_EQ(lower->log.back(), "down");
  EXPECT_EQ(g.CapturedControl(), 1);
}

TEST_F(DispatchTest, WheelGoesToTheCapturedControlElseTheOneUnderTheMouse) {
  IGraphics& g = *e.graphics;
  g.OnWheel(20, 20, kNone, 2);
  EXPECT_EQ(lower->log, std::vector<std::string>{"wheel 2"});
  g.OnButtonPress(80, 80, kLeft, false);
  g.OnWheel(20, 20, kLeft, -1);
  EXPECT_EQ(upper->log.back(), "wheel -1");
  EXPECT_EQ(lower->log.size(), 1u);
}

TEST_F(DispatchTest, KeysOverTheBackgroundOrNothingGoToTheKeyCatcherOrAreUnhandled) {
  IGraphics& g = *e.graphics;
  EXPECT_TRUE(g.OnKeyDown(20, 20, kKeyUp));
  EXPECT_EQ(lower->log, std::vector<std::string>{"key 1"});
  lower->handlesKeys = false;
  EXPECT_FALSE(g.OnKeyDown(20, 20, KeyCodeForChar('a')));  // passed on to the host
  EXPECT_EQ(lower->log.back(), "key 15");
  // Over the background: the background never sees keys.
  EXPECT_FALSE(g.OnKeyDown(150, 10, kKeySpace));
  EXPECT_TRUE(background->log.empty());
  RecordingControl catcher(&e.plug, IRect());
  g.SetKeyCatcher(&catcher);
  EXPECT_TRUE(g.OnKeyDown(150, 10, kKeySpace));
  EXPECT_EQ(catcher.log, std::vector<std::string>{"key 0"});
  g.SetKeyCatcher(nullptr);
  EXPECT_EQ(KeyCodeForChar('9'), 14);
  EXPECT_EQ(KeyCodeForChar('Z'), 40);
  EXPECT_EQ(KeyCodeForChar('\t'), kKeyNone);
}

TEST_F(DispatchTest, MouseOverTrackingTellsTheControlsWhenTheMouseComesAndGoes) {
  IGraphics& g = *e.graphics;
  g.OnPointerMove(20, 20, kNone);
  EXPECT_TRUE(lower->log.empty());  // tracking is off by default
  g.HandleMouseOver(true);
  g.OnPointerMove(20, 20, kNone);
  g.OnPointerMove(21, 20, kNone);
  g.OnPointerMove(80, 80, kNone);
  EXPECT_EQ(lower->log, (std::vector<std::string>{"over", "over", "out"}));
  EXPECT_EQ(upper->log, std::vector<std::string>{"over"});
  EXPECT_EQ(g.MouseOverControl(), 2);
  upper->GrayOut(true);
  g.OnPointerMove(80, 80, kNone);  // greyed: the background is under the mouse now
  EXPECT_EQ(g.MouseOverControl(), 0);
  EXPECT_EQ(upper->log.back(), "out");
  upper->SetMouseOverWhenGrayed(true);
  g.OnPointerMove(80, 81, kNone);
  EXPECT_EQ(g.MouseOverControl(), 2);
  g.OnMouseOut();  // the mouse left the window: every control hears it
  EXPECT_EQ(g.MouseOverControl(), -1);
  EXPECT_EQ(lower->log.back(), "out");
  EXPECT_EQ(background->log.back(), "out");
}

TEST_F(DispatchTest, APressWhileATextEntryIsOpenCommitsItAndReachesNoControl) {
  IGraphicsHeadless& g = *e.graphics;
  g.OpenTextEntry(upper, IText(), upper->Rect(), "abc");
  ASSERT_TRUE(g.Entry().IsOpen());
  g.OnButtonPress(20, 20, kLeft, false);
  EXPECT_TRUE(lower->log.empty());
  EXPECT_EQ(g.Entry().GetState(), TextEntry::kCommit);
  g.OnPointerMove(30, 30, kLeft);  // no drag while the box is open
  EXPECT_TRUE(lower->log.empty());
  g.Tick();
  EXPECT_FALSE(g.Entry().IsOpen());
  EXPECT_EQ(upper->log, std::vector<std::string>{"text abc"});
}

}  // namespace
