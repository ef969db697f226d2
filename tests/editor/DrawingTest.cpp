// Strict drawing with dirty rectangles: what a timer tick paints, what it cleans, the idle
// tick, and the frame arithmetic of bitmap strips.
#include <gtest/gtest.h>

#include "FrameworkTestSupport.h"

using namespace editortest;

namespace {

struct DrawingTest : ::testing::Test {
  DrawingTest() {
    background = e.Add<RecordingControl>(IRect(0, 0, 200, 100), -1, kColorBlack);
    a = e.Add<RecordingControl>(IRect(10, 10, 30, 30), 0, IColor(255, 255, 0, 0));
    b = e.Add<RecordingControl>(IRect(100, 50, 120, 70), 1, IColor(255, 0, 0, 255));
    e.Open();
  }
  // Ticks until nothing is drawn any more, then forgets what was presented.
  void Settle() {
    e.graphics->Tick(3);
    e.graphics->ClearPresented();
  }
  Editor e;
  RecordingControl* background;
  RecordingControl* a;
  RecordingControl* b;
};

TEST_F(DrawingTest, OpeningPaintsEverythingOnceThenAQuietEditorPaintsNothing) {
  IGraphicsHeadless& g = *e.graphics;
  g.Tick();
  ASSERT_EQ(g.Presented().size(), 1u);
  EXPECT_EQ(g.Presented()[0], IRect(0, 0, 200, 100));
  EXPECT_EQ(PixelAt(g, 15, 15), IColor(255, 255, 0, 0));
  EXPECT_EQ(PixelAt(g, 110, 60), IColor(255, 0, 0, 255));
  g.Tick();  // the values from attaching asked for a second paint of their controls
  g.ClearPresented();
  g.Tick(100);
  EXPECT_TRUE(g.Presented().empty());
  EXPECT_EQ(a->draws, 2);
}

TEST_F(DrawingTest, DirtyRectanglesAreUnitedPerTickAndOnlyControlsMeetingThemAreDrawn) {
  IGraphicsHeadless& g = *e.graphics;
  Settle();
  const int backgroundDraws = background->draws;
  a->MarkDirty(false);
  b->MarkDirty(false);
  g.Tick();
  ASSERT_EQ(g.Presented().size(), 1u);
  EXPECT_EQ(g.Presented()[0], IRect(10, 10, 120, 70));
  EXPECT_EQ(background->draws, backgroundDraws + 1);  // it meets the union: drawn under them
  g.ClearPresented();
  a->MarkDirty(false);
  const int bDraws = b->draws;
  g.Tick();
  EXPECT_EQ(g.Presented()[0], IRect(10, 10, 30, 30));
  EXPECT_EQ(b->draws, bDraws);
}

TEST_F(DrawingTest, AValueFromThePluginIsDrawnOnTwoTicksThenTheEditorIsQuiet) {
  IGraphicsHeadless& g = *e.graphics;
  Settle();
  a->ValueFromPlugin(0.75);  // dirty and a redraw requested
  g.Tick(5);
  EXPECT_EQ(g.Presented().size(), 2u);
  a->ValueFromPlugin(0.75);  // unchanged: nothing
  g.ClearPresented();
  g.Tick();
  EXPECT_TRUE(g.Presented().empty());
}

TEST_F(DrawingTest, HiddenControlsAreNotDrawnButAreCleaned) {
  IGraphicsHeadless& g = *e.graphics;
  Settle();
  const int draws = a->draws;
  a->Hide(true);
  g.Tick(3);
  EXPECT_EQ(a->draws, draws);
  EXPECT_FALSE(a->IsDirty());
  EXPECT_EQ(PixelAt(g, 15, 15), kColorBlack);  // the background shows through again
}

TEST_F(DrawingTest, APartialExposeDrawsWhatItMeetsAndKeepsOtherChangesPending) {
  IGraphicsHeadless& g = *e.graphics;
  Settle();
  a->MarkDirty(false);
  g.Paint(IRect(0, 0, 20, 20));  // the host exposed a corner that cuts `a`
  EXPECT_TRUE(a->IsDirty());
  g.ClearPresented();
  g.Tick();
  ASSERT_EQ(g.Presented().size(), 1u);
  EXPECT_EQ(g.Presented()[0], IRect(10, 10, 30, 30));
  EXPECT_FALSE(a->IsDirty());
}

TEST_F(DrawingTest, DirtyControlsOutsideTheWindowDoNotKeepTheEditorBusy) {
  IGraphicsHeadless& g = *e.graphics;
  RecordingControl* outside = e.Add<RecordingControl>(IRect(300, 300, 310, 310));
  Settle();
  outside->MarkDirty(false);
  g.Tick();
  EXPECT_TRUE(g.Presented().empty());
  EXPECT_FALSE(outside->IsDirty());
}

TEST_F(DrawingTest, TheIdleTickComesAfterTwentyOneQuietTicksAndRestartsAfterADraw) {
  IGraphicsHeadless& g = *e.graphics;
  Settle();
  a->MarkDirty(false);
  g.Tick();
  e.plug.idleTicks = 0;
  g.Tick(20);
  EXPECT_EQ(e.plug.idleTicks, 0);
  g.Tick();
  EXPECT_EQ(e.plug.idleTicks, 1);
  g.Tick(10);
  a->MarkDirty(false);
  g.Tick();  // a draw restarts the count
  g.Tick(20);
  EXPECT_EQ(e.plug.idleTicks, 1);
  g.Tick(1);
  EXPECT_EQ(e.plug.idleTicks, 2);
}

TEST_F(DrawingTest, BlitFrameTakesTheNthSliceOfTheStripClippedToThePaint) {
  IGraphicsHeadless& g = *e.graphics;
  Strip strip(10, 10, 4);
  g.Paint(IRect(0, 0, 200, 100));
  g.Paint(IRect(50, 0, 55, 100));  // the drawing rectangle is now 50..55
  EXPECT_TRUE(g.BlitFrame(strip.bitmap, IRect(45, 5, 55, 15), 3));
  EXPECT_EQ(LICE_GETR(PixelAt(g, 52, 8)), 30);
  EXPECT_EQ(PixelAt(g, 48, 8), kColorBlack);  // outside the drawing rectangle
  // Frame numbers are clamped; a record without an image draws nothing.
  EXPECT_TRUE(g.BlitFrame(strip.bitmap, IRect(50, 20, 60, 30), 99));
  EXPECT_EQ(LICE_GETR(PixelAt(g, 51, 21)), 40);
  EXPECT_FALSE(g.BlitFrame(IBitmap(), IRect(50, 40, 60, 50), 1));
  // Horizontal strips slice by width.
  strip.bitmap.framesAreHorizontal = true;
  strip.bitmap.W = 40;
  strip.bitmap.H = 10;
  EXPECT_EQ(strip.bitmap.FrameW(), 10);
}

TEST(ResizeTest, ANewSizeRecreatesTheBufferTellsThePluginAndRepaintsEverything) {
  Editor e(100, 50);
  e.Add<RecordingControl>(IRect(0, 0, 100, 50));
  e.Open();
  e.graphics->Tick();
  e.graphics->ClearPresented();
  e.graphics->Resize(100, 50);
  e.graphics->Tick();
  EXPECT_TRUE(e.graphics->Presented().empty());
  e.graphics->Resize(120, 60);
  EXPECT_EQ(e.graphics->BackBuffer()->Width(), 120);
  e.graphics->Tick();
  ASSERT_FALSE(e.graphics->Presented().empty());
  EXPECT_EQ(e.graphics->Presented()[0], IRect(0, 0, 120, 60));
}

}  // namespace
