// The panel's program browser on an in-process instance without a window: the three
// sources, picking banks and programs in both click modes, scrolling and the view state.
#include <gtest/gtest.h>

#include "core/ProgramFiles.h"
#include "tests/editor/PanelTestSupport.h"

namespace {

using namespace panel;
using panel_test::PanelTest;

class PanelBrowserTest : public PanelTest {
 protected:
  // A folder with a program file, a bank file (upper-case extension) and a text file.
  std::string MakeFolder(Tesvar& source) {
    source.SelectPreset(5);
    std::filesystem::create_directories(Path("banks"));
    EXPECT_TRUE(SaveProgramFile(source, Path("banks/one.fxp")));
    EXPECT_TRUE(SaveBankFile(source, Path("banks/All.FXB")));
    WriteFile(Path("banks/notes.txt"), "not a bank");
    return Path("banks");
  }
};

TEST_F(PanelBrowserTest, FileListsTheFolderAndABankEntryReadsAsABank) {
  Tesvar& source = Make();
  const std::string folder = MakeFolder(source);
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  plug.SetProgramFilesPath(folder);
  view.open = false;  // no window: the folder of the settings, no dialog
  EXPECT_FALSE(p.RunCommand(kFileSource, false));
  EXPECT_EQ(view.dialogs, 0);
  const Browser& b = p.GetBrowser();
  ASSERT_EQ(b.Files().size(), 2u);
  EXPECT_EQ(b.Files()[0].displayName, "All");
  EXPECT_EQ(b.Files()[1].displayName, "one");
  EXPECT_EQ(b.Source(), BrowserSource::kFile);
  EXPECT_TRUE(p.Lit(kFileSource));
  EXPECT_FALSE(p.Lit(kCurrentBankSource));
  p.PickBank(0);  // picking needs the window
  EXPECT_TRUE(b.Programs().empty());

  view.open = true;
  p.PickBank(0);
  ASSERT_EQ(b.Programs().size(), 64u);
  EXPECT_EQ(b.Selected(ListKind::kFiles), 0);
  EXPECT_EQ(b.SelectedRow(ListKind::kFiles), 0);
  EXPECT_EQ(b.Programs()[5].name, source.ProgramName(5));
  p.PickBank(1);
  ASSERT_EQ(b.Programs().size(), 1u);
  EXPECT_EQ(b.Programs()[0].name, source.ProgramName(5));
  p.PickBank(7);  // an empty row
  EXPECT_EQ(b.Selected(ListKind::kFiles), 1);
}

TEST_F(PanelBrowserTest, FileAsksForAFolderWhenTheWindowIsOpen) {
  Tesvar& source = Make();
  const std::string folder = MakeFolder(source);
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  const std::string before = plug.Settings().programFilesPath;
  const std::string ini = ReadFile(Ini());
  view.cancelDialog = true;
  EXPECT_FALSE(p.RunCommand(kFileSource, false));
  EXPECT_EQ(view.dialogStart, before);
  EXPECT_EQ(p.GetBrowser().Source(), BrowserSource::kCurrentBank);  // cancelled: nothing changed
  view.cancelDialog = false;
  view.dialogFolder = folder;
  p.RunCommand(kFileSource, false);
  EXPECT_EQ(p.GetBrowser().Files().size(), 2u);
  EXPECT_EQ(plug.Settings().programFilesPath, folder);  // for this session ...
  EXPECT_EQ(ReadFile(Ini()), ini);                      // ... not in the file
}

TEST_F(PanelBrowserTest, AListedProgramReplacesTheCurrentOne) {
  Tesvar& source = Make();
  Set(source, kVcfCutoff, 12.0);
  source.ModifyCurrentPreset("Twelve");
  std::filesystem::create_directories(Path("banks"));
  ASSERT_TRUE(SaveProgramFile(source, Path("banks/twelve.fxp")));
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  plug.SwitchProgram(9);
  view.dialogFolder = Path("banks");
  p.RunCommand(kFileSource, false);
  p.PickBank(0);
  shell_test::Recorded().Clear();
  p.PickProgram(0);
  EXPECT_EQ(plug.CurrentProgram(), 9);
  EXPECT_EQ(plug.ProgramName(9), "Twelve");
  EXPECT_EQ(plug.GetParam(kVcfCutoff)->Value(), 12.0);
  EXPECT_EQ(plug.Engine().Settings().cutoffKnob, 12.0);
  EXPECT_EQ(p.GetBrowser().Selected(ListKind::kPrograms), 0);
  EXPECT_EQ(shell_test::Recorded().Count(vst::audioMasterUpdateDisplay), 1);
  // The stored slot holds it too: switching away and back keeps it.
  plug.SwitchProgram(10);
  plug.SwitchProgram(9);
  EXPECT_EQ(plug.GetParam(kVcfCutoff)->Value(), 12.0);

  // A row past the end of this one-program list is empty; a click on it clears the selection.
  EXPECT_FALSE(p.GetBrowser().Row(ListKind::kPrograms, 1).hasEntry);
  p.PickProgram(1);
  EXPECT_EQ(p.GetBrowser().Selected(ListKind::kPrograms), -1);
  EXPECT_EQ(plug.CurrentProgram(), 9);
}

TEST_F(PanelBrowserTest, FactoryBanksAreListedAndTheirProgramsLoad) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  p.RunCommand(kFactorySource, false);
  const Browser& b = p.GetBrowser();
  ASSERT_EQ(b.Files().size(), 3u);
  EXPECT_EQ(b.Row(ListKind::kFiles, 1).name, "Quellmark's Factory Sounds");
  EXPECT_EQ(b.Row(ListKind::kFiles, 1).number, "1");
  EXPECT_TRUE(b.Programs().empty());
  EXPECT_TRUE(p.Lit(kFactorySource));
  p.PickBank(1);
  ASSERT_EQ(b.Programs().size(), 64u);
  EXPECT_EQ(b.Source(), BrowserSource::kFactory);
  plug.SwitchProgram(40);
  p.PickProgram(2);
  EXPECT_EQ(plug.CurrentProgram(), 40);
  EXPECT_EQ(plug.ProgramName(40), b.Programs()[2].name);
  Tesvar& reference = Make();
  reference.ReadState(b.Programs()[2].state, 0);
  for (int i = 0; i < kParamCount; ++i) {
    EXPECT_EQ(plug.GetParam(i)->Value(), reference.GetParam(i)->Value()) << i;
  }
}

TEST_F(PanelBrowserTest, CurrentBankSelectsOrCopiesAfterTheClickMode) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  plug.SwitchProgram(45);
  p.RunCommand(kCurrentBankSource, false);
  const Browser& b = p.GetBrowser();
  ASSERT_EQ(b.Programs().size(), 64u);
  EXPECT_EQ(b.Selected(ListKind::kPrograms), 45);
  EXPECT_EQ(b.ScrollStart(ListKind::kPrograms), 39);  // the page that shows it
  EXPECT_EQ(b.SelectedRow(ListKind::kPrograms), 6);

  p.PickProgram(2);  // SELECT: entry 41
  EXPECT_EQ(plug.CurrentProgram(), 41);
  EXPECT_EQ(b.Selected(ListKind::kPrograms), 41);

  p.SetClickMode(ClickMode::kCopyPaste);
  const std::string name = plug.ProgramName(43);
  const double cutoff = [&] {
    Tesvar& reference = Make();
    reference.SelectPreset(43);
    return reference.GetParam(kVcfCutoff)->Value();
  }();
  p.PickProgram(4);  // COPY+PASTE: entry 43 into the current slot
  EXPECT_EQ(plug.CurrentProgram(), 41);
  EXPECT_EQ(plug.ProgramName(41), name);
  EXPECT_EQ(plug.GetParam(kVcfCutoff)->Value(), cutoff);
  EXPECT_EQ(b.Programs()[41].name, name);  // the list follows the store

  // Paging and its limits; scrolling needs the window.
  p.ScrollBrowser(ListKind::kPrograms, false);
  EXPECT_EQ(b.ScrollStart(ListKind::kPrograms), 0);
  view.open = false;
  p.ScrollBrowser(ListKind::kPrograms, true);
  EXPECT_EQ(b.ScrollStart(ListKind::kPrograms), 0);
}

// Regression: with unused slots in the store the own-bank list shifted, so a row showed
// and switched to the wrong program.
TEST_F(PanelBrowserTest, OwnBankEntriesKeepTheirSlotsPastUnusedOnes) {
  Tesvar& plug = MakeWithView();
  ChunkBuffer bank;
  plug.SerializePresets(bank);
  // Rebuild the bank with slot 3 unused.
  ChunkBuffer edited;
  int pos = 0;
  for (int i = 0; i < 64; ++i) {
    std::string name;
    pos = bank.GetText(&name, pos);
    std::uint8_t flag = 0;
    pos = bank.GetBytes(&flag, 1, pos);
    const int end = SkipStateBody(bank, pos, kParamCount);
    ASSERT_GT(end, 0);
    edited.PutText(name);
    const std::uint8_t used = i == 3 ? 0 : 1;
    edited.PutBytes(&used, 1);
    if (used != 0) edited.PutBytes(bank.Data() + pos, end - pos);
    pos = end;
  }
  {
    platform::Guard guard(plug.Lock());
    ASSERT_GT(plug.UnserializePresets(edited, 0), 0);
  }
  Panel& p = plug.GetPanel();
  p.RunCommand(kCurrentBankSource, false);
  const Browser& b = p.GetBrowser();
  ASSERT_EQ(b.Programs().size(), 63u);
  EXPECT_EQ(b.Row(ListKind::kPrograms, 3).number, "15");
  EXPECT_EQ(b.Row(ListKind::kPrograms, 3).name, plug.ProgramName(4));
  p.PickProgram(3);
  EXPECT_EQ(plug.CurrentProgram(), 4);
}

TEST_F(PanelBrowserTest, TheViewSwitchShowsTheOtherViewAndFillsTheBrowserOnce) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  EXPECT_FALSE(p.AltView());
  Tesvar& source = Make();
  plug.SetProgramFilesPath(MakeFolder(source));
  p.RunCommand(kViewSwitch, false);
  EXPECT_TRUE(p.AltView());
  EXPECT_TRUE(view.shownAlt);
  const Browser& b = p.GetBrowser();
  EXPECT_EQ(b.Files().size(), 2u);  // filled from the program files folder, no dialog
  EXPECT_EQ(view.dialogs, 0);
  EXPECT_EQ(b.Source(), BrowserSource::kCurrentBank);
  EXPECT_EQ(b.Programs().size(), 64u);
  p.RunCommand(kViewSwitch, false);
  EXPECT_FALSE(view.shownAlt);
  EXPECT_FALSE(plug.Settings().openAltView);  // the setting is not the view
}

TEST_F(PanelBrowserTest, OpenAltViewChoosesTheFirstViewOfANewInstance) {
  WriteFile(Ini(), "[Editor]\nOpen Alt View=true\n");
  Tesvar& plug = Make();
  EXPECT_TRUE(plug.GetPanel().AltView());
  EXPECT_EQ(plug.GetPanel().GetBrowser().Programs().size(), 64u);
  plug.GetPanel().RunCommand(kViewSwitch, false);
  EXPECT_TRUE(Make().GetPanel().AltView());  // other instances keep the setting's view
  EXPECT_NE(ReadFile(Ini()).find("Open Alt View=true"), std::string::npos);
}

TEST_F(PanelBrowserTest, TheOwnBankListFollowsProgramChangesFromAnywhere) {
  Tesvar& plug = MakeWithView();
  Panel& p = plug.GetPanel();
  p.RunCommand(kViewSwitch, false);
  const int refreshes = view.browserRefreshes;
  Keys(plug, {4, 2});  // program 26
  EXPECT_EQ(p.GetBrowser().Selected(ListKind::kPrograms), 25);
  EXPECT_GT(view.browserRefreshes, refreshes);
  // A MIDI program change on the audio thread only marks the browser; idle refreshes it.
  Midi(plug, 0xC0, 50, 0);
  EXPECT_EQ(p.GetBrowser().Selected(ListKind::kPrograms), 25);
  plug.IdleTick();
  EXPECT_EQ(p.GetBrowser().Selected(ListKind::kPrograms), 50);
  EXPECT_EQ(p.GetBrowser().ScrollStart(ListKind::kPrograms), 39);
  EXPECT_EQ(p.GetBrowser().Row(ListKind::kPrograms, 11).name, plug.ProgramName(50));
}

}  // namespace
