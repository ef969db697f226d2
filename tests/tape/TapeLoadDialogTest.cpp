// The tape load dialog in a headless editor: its drawing, switches and value entry, and the
// import it runs with its messages.
#include <gtest/gtest.h>

#include "TapeTestSupport.h"
#include "tests/editor/MenusTestSupport.h"

namespace {

using menus_test::MenusTest;
using D = IQMTapeLoadDialog;

class TapeLoadDialogTest : public MenusTest {
 protected:
  void SetUp() override {
    MenusTest::SetUp();
    shell::SharedTapeReadSettings() = tape::TapeReadSettings();
  }
  void TearDown() override {
    shell::SharedTapeReadSettings() = tape::TapeReadSettings();
    MenusTest::TearDown();
  }
  // An instance with the dialog shown and drawn.
  Tesvar& MakeShown() {
    Tesvar& plug = MakeMenusEditor();
    Run(plug, menus::kLoadTapeDump);
    Graphics(plug).Tick();
    return plug;
  }
  static LICE_pixel PixelAt(Tesvar& plug, int x, int y) {
    LICE_IBitmap* b = Graphics(plug).BackBuffer();
    return b->Bits()[y * b->RowSpan() + x] | 0xFF000000u;
  }
  static void ClickAt(Tesvar& plug, int x, int y) { Click(plug, x, y); }
  // Types into the entry the last click opened and commits it.
  static void Enter(Tesvar& plug, const char* text) {
    IGraphicsHeadless& g = Graphics(plug);
    g.SetEntryText(text);
    g.SetTextEntryState(TextEntry::kCommit);
    g.Tick();
  }
  static tape::TapeReadSettings& Settings() { return shell::SharedTapeReadSettings(); }
};

TEST_F(TapeLoadDialogTest, DrawsItsPanelBoxesIndicatorsAndButtons) {
  Tesvar& plug = MakeShown();
  EXPECT_EQ(PixelAt(plug, 388, 194), kColorWhite);      // the outline
  EXPECT_EQ(PixelAt(plug, 400, 210), D::kPanelColor);   // the panel
  EXPECT_EQ(PixelAt(plug, 525, 219), kColorWhite);      // the high-pass box
  EXPECT_EQ(PixelAt(plug, 525, 299), kColorWhite);      // the threshold box
  EXPECT_EQ(PixelAt(plug, 506, 230), D::kIndicatorOn);  // high-pass on
  EXPECT_EQ(PixelAt(plug, 506, 270), D::kIndicatorOn);  // low-pass on
  EXPECT_EQ(PixelAt(plug, 414, 355), D::kGrey);         // OK without the mouse
  EXPECT_EQ(PixelAt(plug, 526, 355), D::kGrey);         // CANCEL

  HoverAt(plug, 450, 366);
  EXPECT_TRUE(TapeDialog(plug)->HoverOk());
  EXPECT_EQ(PixelAt(plug, 414, 355), kColorWhite);
  HoverAt(plug, 600, 366);
  EXPECT_FALSE(TapeDialog(plug)->HoverOk());
  EXPECT_TRUE(TapeDialog(plug)->HoverCancel());
  EXPECT_EQ(PixelAt(plug, 526, 355), kColorWhite);
  EXPECT_EQ(PixelAt(plug, 414, 355), D::kGrey);
  HoverAt(plug, 100, 100);  // out of the dialog: both off
  EXPECT_FALSE(TapeDialog(plug)->HoverCancel());
  EXPECT_EQ(PixelAt(plug, 526, 355), D::kGrey);
}

TEST_F(TapeLoadDialogTest, SwitchesToggleTheSharedSettingsWithoutWritingTheFile) {
  Tesvar& plug = MakeShown();
  Tesvar& other = MakeMenusEditor();
  ClickAt(plug, 506, 230);
  EXPECT_FALSE(Settings().highPassEnabled);
  // Off: the box, its value and unit go, the indicator is grey.
  EXPECT_EQ(PixelAt(plug, 525, 219), D::kPanelColor);
  EXPECT_EQ(PixelAt(plug, 506, 230), D::kGrey);
  ClickAt(plug, 506, 270);
  EXPECT_FALSE(Settings().lowPassEnabled);
  EXPECT_EQ(PixelAt(plug, 525, 259), D::kPanelColor);
  ClickAt(plug, 506, 270);
  EXPECT_TRUE(Settings().lowPassEnabled);
  EXPECT_EQ(ReadFile(Ini()).find("Tape Read"), std::string::npos);
  // The other instance's dialog shows the same (one set per process).
  Run(other, menus::kLoadTapeDump);
  Graphics(other).Tick();
  EXPECT_EQ(PixelAt(other, 506, 230), D::kGrey);
}

TEST_F(TapeLoadDialogTest, EnteredValuesKeepFiveOrTwoCharactersAndOnlyPositiveOnes) {
  Tesvar& plug = MakeShown();
  IGraphicsHeadless& g = Graphics(plug);
  ClickAt(plug, 560, 230);
  EXPECT_EQ(TapeDialog(plug)->EditTarget(), D::kHighPassTarget);
  ASSERT_TRUE(g.Entry().IsOpen());
  EXPECT_EQ(g.EntryText(), "330");
  EXPECT_EQ(g.EntryRect(), IRect(542, 222, 579, 241));  // the value text, one pixel wider and taller
  Enter(plug, "123456");
  EXPECT_EQ(Settings().highPassHz, 12345.0);

  ClickAt(plug, 560, 310);
  EXPECT_EQ(TapeDialog(plug)->EditTarget(), D::kThresholdTarget);
  Enter(plug, "150");
  EXPECT_EQ(Settings().thresholdPercent, 15.0);

  ClickAt(plug, 560, 270);
  Enter(plug, "0");
  EXPECT_EQ(Settings().lowPassHz, 5000.0);
  for (const char* ignored : {"abc", "-20", "inf", "nan", "", " "}) {
    ClickAt(plug, 560, 270);
    Enter(plug, ignored);
    EXPECT_EQ(Settings().lowPassHz, 5000.0) << ignored;
  }
  ClickAt(plug, 560, 270);
  Enter(plug, "2500.75");  // five characters: 2500.
  EXPECT_EQ(Settings().lowPassHz, 2500.0);
  ClickAt(plug, 560, 270);
  Enter(plug, ".5");
  EXPECT_EQ(Settings().lowPassHz, 0.5);

  // With high-pass off its box is not drawn, but a click there still edits it.
  ClickAt(plug, 506, 230);
  ClickAt(plug, 560, 230);
  ASSERT_TRUE(g.Entry().IsOpen());
  EXPECT_EQ(g.EntryText(), "12345");
  Enter(plug, "90");
  EXPECT_EQ(Settings().highPassHz, 90.0);
  EXPECT_EQ(ReadFile(Ini()).find("Tape Read"), std::string::npos);
}

TEST_F(TapeLoadDialogTest, CancelAndACancelledFileDialogClose) {
  Tesvar& plug = MakeShown();
  ClickAt(plug, 560, 366);
  EXPECT_TRUE(TapeDialog(plug)->IsHidden());
  Run(plug, menus::kLoadTapeDump);
  ClickAt(plug, 450, 366);  // OK; the file dialog is cancelled
  const IFileRequest& request = Graphics(plug).FileRequests().back();
  EXPECT_FALSE(request.save);
  EXPECT_EQ(request.pattern, "*.wav");
  EXPECT_EQ(request.fileName, "");
  EXPECT_EQ(request.folder, plug.Settings().programFilesPath + menus_test::Slash());
  EXPECT_TRUE(TapeDialog(plug)->IsHidden());
  EXPECT_EQ(MessageCount(plug), 0u);
}

TEST_F(TapeLoadDialogTest, AFailedImportKeepsTheDialogAndTheFileASuccessCloses) {
  Tesvar& plug = MakeShown();
  IGraphicsHeadless& g = Graphics(plug);
  ClickAt(plug, 560, 230);
  Enter(plug, "300");
  const std::string bank = Bank(plug);

  WriteFile(Path("noise.wav"), "RIFF....WAVE but nothing a decoder could read");
  g.ScriptFile(Path("noise.wav"));
  ClickAt(plug, 450, 366);
  EXPECT_EQ(LastMessage(plug), "Cannot load file!|Error");
  EXPECT_FALSE(TapeDialog(plug)->IsHidden());
  EXPECT_TRUE(Bank(plug) == bank);
  EXPECT_EQ(ReadFile(Ini()).find("Highpass Frequency"), std::string::npos);

  const tape::TapeData data = tape_test::InRangeData(7);
  ASSERT_TRUE(tape_test::WriteDump(Path("dump.wav"), tape::MakeTapeBlock(data), tape_test::Options(44100.0), {}));
  g.ScriptFile(Path("dump.wav"));
  ClickAt(plug, 450, 366);
  EXPECT_EQ(LastMessage(plug), "Poly-61 tape dump was successfully loaded.|Tape Dump Loaded");
  EXPECT_EQ(g.Messages().back().buttons, IMessageButtons::kOK);
  EXPECT_TRUE(TapeDialog(plug)->IsHidden());
  EXPECT_EQ(plug.ProgramName(0), tape::TapeProgramName(0));
  EXPECT_NE(ReadFile(Ini()).find("Highpass Frequency=300"), std::string::npos);
  EXPECT_NE(ReadFile(Ini()).find("Threshold=50"), std::string::npos);
}

}  // namespace
