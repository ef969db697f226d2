// The text-entry machine: states across timer ticks, character filters per parameter kind,
// bounded copies, and how a committed text becomes a value.
#include <gtest/gtest.h>

#include <string>

#include "FrameworkTestSupport.h"

using namespace editortest;

namespace {

struct TextEntryTest : ::testing::Test {
  TextEntryTest() {
    e.Add<RecordingControl>(IRect(0, 0, 200, 100));
    named = e.Add<RecordingControl>(IRect(10, 10, 110, 30));
    cutoff = e.Add<RecordingControl>(IRect(10, 40, 60, 60), 0);
    e.Open();
    e.graphics->Tick(3);
  }
  Editor e;
  RecordingControl* named;
  RecordingControl* cutoff;
};

TEST_F(TextEntryTest, ACommitReachesTheControlOnTheNextTickAndClosesTheBox) {
  IGraphicsHeadless& g = *e.graphics;
  named->SetTextEntryLimit(28);
  g.OpenTextEntry(named, IText(), named->Rect(), "Old name");
  ASSERT_TRUE(g.Entry().IsOpen());
  EXPECT_EQ(g.EntryRect(), IRect(10, 10, 111, 31));  // one pixel wider and taller
  EXPECT_EQ(g.EntryText(), "Old name");
  g.OpenTextEntry(cutoff, IText(), cutoff->Rect(), "x", 0);  // one box at a time
  EXPECT_EQ(g.Entry().Control(), named);
  g.TypeIntoEntry("\b\b\b\bNew!");
  g.SetTextEntryState(TextEntry::kCommit);  // Return
  g.Tick();
  EXPECT_FALSE(g.Entry().IsOpen());
  EXPECT_EQ(named->log, std::vector<std::string>{"text Old New!"});
}

TEST_F(TextEntryTest, EscapeAndTheWheelCancel) {
  IGraphicsHeadless& g = *e.graphics;
  g.OpenTextEntry(named, IText(), named->Rect(), "keep");
  g.TypeIntoEntry("abc");
  g.SetTextEntryState(TextEntry::kCancel);
  g.Tick();
  EXPECT_FALSE(g.Entry().IsOpen());
  EXPECT_TRUE(named->log.empty());
  g.OpenTextEntry(named, IText(), named->Rect(), "keep");
  g.OnWheel(50, 50, IMouseMod(), 1);
  g.Tick();
  EXPECT_FALSE(g.Entry().IsOpen());
  EXPECT_TRUE(named->log.empty());
  g.OpenTextEntry(named, IText(), named->Rect(), "keep");
  g.CancelTextEntry();
  g.Tick();
  EXPECT_FALSE(g.Entry().IsOpen());
}

TEST_F(TextEntryTest, WhileTheBoxIsOpenTicksAlternateBetweenRestingAndDrawingAroundIt) {
  IGraphicsHeadless& g = *e.graphics;
  g.OpenTextEntry(named, IText(), named->Rect(), "a");
  g.SetTextEntryState(TextEntry::kFocused);
  g.ClearPresented();
  cutoff->MarkDirty(false);
  g.Tick();  // focused: reset to idle, nothing drawn
  EXPECT_EQ(g.Entry().GetState(), TextEntry::kIdle);
  EXPECT_TRUE(g.Presented().empty());
  g.Tick();  // idle: the dirty control is drawn and the box marked as drawn around
  EXPECT_EQ(g.Entry().GetState(), TextEntry::kDrawnAround);
  EXPECT_EQ(g.Presented().size(), 1u);
  EXPECT_TRUE(g.Entry().IsOpen());
}

TEST_F(TextEntryTest, ParameterEntriesFilterCharactersByKind) {
  EXPECT_EQ(TextEntry::FilterFor(e.plug.GetParam(0)), TextEntry::Filter::kDecimal);
  EXPECT_EQ(TextEntry::FilterFor(e.plug.GetParam(1)), TextEntry::Filter::kInteger);
  EXPECT_EQ(TextEntry::FilterFor(e.plug.GetParam(2)), TextEntry::Filter::kInteger);
  EXPECT_EQ(TextEntry::FilterFor(nullptr), TextEntry::Filter::kAny);
  for (char c : std::string("+-0123456789\b")) EXPECT_TRUE(TextEntry::Accepts(TextEntry::Filter::kInteger, c)) << c;
  EXPECT_FALSE(TextEntry::Accepts(TextEntry::Filter::kInteger, '.'));
  EXPECT_TRUE(TextEntry::Accepts(TextEntry::Filter::kDecimal, '.'));
  EXPECT_FALSE(TextEntry::Accepts(TextEntry::Filter::kDecimal, 'e'));
  EXPECT_FALSE(TextEntry::Accepts(TextEntry::Filter::kDecimal, ' '));
  EXPECT_TRUE(TextEntry::Accepts(TextEntry::Filter::kAny, 'e'));

  IGraphicsHeadless& g = *e.graphics;
  g.OpenTextEntry(cutoff, IText(), cutoff->Rect(), "", 0);
  g.TypeIntoEntry("7x2.5e1");  // the default limit of 7 characters holds as well
  EXPECT_EQ(g.EntryText(), "72.51");
  g.SetTextEntryState(TextEntry::kCommit);
  g.Tick();
  EXPECT_DOUBLE_EQ(cutoff->Value(), 0.7251);
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 72.51);
}

TEST(TextEntryValueTest, ListsMatchTheirTextsNumbersAreReadClampedAndNegatedWhenShownNegated) {
  TestPlug plug;
  EXPECT_DOUBLE_EQ(TextEntry::ValueFromText(*plug.GetParam(2), "Noise"), 1.0);
  EXPECT_DOUBLE_EQ(TextEntry::ValueFromText(*plug.GetParam(2), "noise"), 0.0);  // exact texts only
  EXPECT_DOUBLE_EQ(TextEntry::ValueFromText(*plug.GetParam(1), "5"), 5.0 / 7.0);
  EXPECT_DOUBLE_EQ(TextEntry::ValueFromText(*plug.GetParam(1), "99"), 1.0);
  EXPECT_DOUBLE_EQ(TextEntry::ValueFromText(*plug.GetParam(0), ""), 0.0);
  EXPECT_DOUBLE_EQ(TextEntry::ValueFromText(*plug.GetParam(3), "5"), 0.25);     // -5 in -10..10
  EXPECT_DOUBLE_EQ(TextEntry::ValueFromText(*plug.GetParam(3), "1e999"), 0.5);  // not finite: 0
}

TEST_F(TextEntryTest, EveryCopyIsBoundedWhateverTheControlsLimit) {
  IGraphicsHeadless& g = *e.graphics;
  const std::string longText(400, 'n');
  named->SetTextEntryLimit(1000);  // beyond what any box holds
  g.OpenTextEntry(named, IText(), named->Rect(), longText.c_str());
  EXPECT_EQ(g.Entry().Limit(), TextEntry::kMaxLimit);
  EXPECT_EQ(g.EntryText().size(), static_cast<std::size_t>(TextEntry::kMaxLimit));
  g.SetTextEntryState(TextEntry::kCommit);
  g.Tick();
  // At most 31 characters are read back.
  ASSERT_EQ(named->log.size(), 1u);
  EXPECT_EQ(named->log[0], "text " + std::string(TextEntry::kReadLimit, 'n'));

  named->log.clear();
  named->SetTextEntryLimit(28);
  const std::string forty = "A program name of forty characters......";
  ASSERT_EQ(forty.size(), 40u);
  g.OpenTextEntry(named, IText(), named->Rect(), forty.c_str());
  EXPECT_EQ(g.EntryText(), forty.substr(0, 28));
  g.TypeIntoEntry("more");
  EXPECT_EQ(g.EntryText().size(), 28u);
  g.SetTextEntryState(TextEntry::kCommit);
  g.Tick();
  EXPECT_EQ(named->log[0], "text " + forty.substr(0, 28));
  // A null text opens an empty box.
  g.OpenTextEntry(named, IText(), named->Rect(), nullptr);
  EXPECT_EQ(g.EntryText(), "");
}

TEST_F(TextEntryTest, ClosingTheWindowRemovesTheBoxAndCommitsNothing) {
  IGraphicsHeadless& g = *e.graphics;
  g.OpenTextEntry(named, IText(), named->Rect(), "abc");
  g.SetTextEntryState(TextEntry::kCommit);
  g.Close();
  EXPECT_FALSE(g.Entry().IsOpen());
  g.Open(nullptr);
  g.Tick();
  EXPECT_TRUE(named->log.empty());
  // Without a window no box opens.
  g.Close();
  g.OpenTextEntry(named, IText(), named->Rect(), "abc");
  EXPECT_FALSE(g.Entry().IsOpen());
}

}  // namespace
