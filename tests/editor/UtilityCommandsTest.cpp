// Every utility command through the handler, its confirmations, file dialogs and messages
// answered from the headless editor's script, and the shared folder memories.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/FactoryBanks.h"
#include "core/ProgramFiles.h"
#include "tests/editor/MenusTestSupport.h"

namespace {

using namespace menus;
using menus_test::MenusTest;
using menus_test::Slash;

class UtilityCommandsTest : public MenusTest {
 protected:
  // The instance's configuration file.
  std::string IniText() { return ReadFile(Ini()); }
  static std::vector<std::string> Names(const Tesvar& plug) {
    std::vector<std::string> names;
    for (int i = 0; i < plug.ProgramCount(); ++i) names.push_back(plug.ProgramName(i));
    return names;
  }
};

// ---- Texts ----------------------------------------------------------------------------------------

TEST(UtilityTexts, ProposedNamesReplaceTheNineCharactersAndKeep63Bytes) {
  EXPECT_EQ(ProposedFileName("A/B:C?"), "A_B_C_");
  EXPECT_EQ(ProposedFileName("<>:\"/\\|?*ok"), "_________ok");
  EXPECT_EQ(ProposedFileName(std::string(100, 'x')).size(), 63u);
  // A cut never splits a character: 62 bytes of text, then a two-byte letter.
  const std::string name = std::string(62, 'a') + "\xC3\xA9" + "z";
  EXPECT_EQ(ProposedFileName(name), std::string(62, 'a'));
}

TEST(UtilityTexts, PathsInMessagesAreBoundedAndFoldersCut) {
  const std::string text = FormatWithPath("The Startup Bank is:\n%s\n\nDo you really want to unselect it?", "/a/b.fxb");
  EXPECT_EQ(text, "The Startup Bank is:\n/a/b.fxb\n\nDo you really want to unselect it?");
  EXPECT_EQ(FormatWithPath("[%s]", std::string(5000, 'p')).size(), 1023u);
  EXPECT_EQ(FormatWithPath("%s", "100%s d"), "100%s d");  // a path is never a format
  EXPECT_EQ(FolderOf("/home/u/banks/x.fxb"), "/home/u/banks");
  EXPECT_EQ(FolderOf("x.fxb"), "");
  EXPECT_EQ(FolderOf("/x.fxb"), "");
}

// ---- Programs ---------------------------------------------------------------------------------------

TEST_F(UtilityCommandsTest, CopyRenameSelectPasteGivesTheSourcesValuesAndNewName) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  plug.SwitchProgram(0);
  const std::vector<double> values = Values(plug);
  Run(plug, kCopyProgram);
  EXPECT_TRUE(plug.HasCopiedProgram());
  Rename(plug, "Renamed Eleven");
  plug.SwitchProgram(10);  // 23
  ASSERT_NE(Values(plug), values);
  g.ScriptMessage(kMessageYes);
  Run(plug, kPasteProgram);
  EXPECT_EQ(LastMessage(plug), "Do you really want to overwrite the current program?|Paste Program");
  EXPECT_EQ(Values(plug), values);
  EXPECT_EQ(plug.ProgramName(10), "Renamed Eleven");
  EXPECT_EQ(plug.ProgramName(0), "Renamed Eleven");
}

TEST_F(UtilityCommandsTest, NoChangesNothingAndAMissingBoxIsNoNo) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  plug.SwitchProgram(3);
  const std::vector<double> copied = Values(plug);
  Run(plug, kCopyProgram);
  plug.SwitchProgram(4);
  const std::string bank = Bank(plug);
  for (int command :
       std::initializer_list<int>{kPasteProgram, kInitProgram, kRestoreFactoryProgram + 1, kRestoreFactoryBank + 2}) {
    g.ScriptMessage(kMessageNo);
    Run(plug, command);
    EXPECT_TRUE(Bank(plug) == bank) << command;
  }
  // With no answer at all (the box could not be shown) the command runs.
  Run(plug, kInitProgram);
  EXPECT_EQ(LastMessage(plug), "Do you really want to initialize the current program?|Initialize Program");
  EXPECT_EQ(plug.ProgramName(4), "Program 1-5");
  for (int i = 0; i < plug.ParamCount(); ++i) {
    EXPECT_EQ(plug.GetParam(i)->Value(), plug.GetParam(i)->Default()) << i;
  }
  Run(plug, kPasteProgram);
  EXPECT_EQ(Values(plug), copied);
}

TEST_F(UtilityCommandsTest, FactoryRestoresAskWithTheirCaptions) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  const char* programCaptions[] = {"Restore Original Poly-61 Factory Program", "Restore Quellmark's Factory Program",
                                   "Restore Veltrum's Factory Program"};
  const char* bankCaptions[] = {"Restore Original Poly-61 Factory Sounds", "Restore Quellmark's Factory Sounds",
                                "Restore Veltrum's Factory Sounds"};
  plug.SwitchProgram(5);
  for (int bank = 0; bank < 3; ++bank) {
    g.ScriptMessage(kMessageYes);
    Run(plug, kRestoreFactoryProgram + bank);
    EXPECT_EQ(LastMessage(plug),
              std::string("Do you really want to overwrite the current program?|") + programCaptions[bank]);
    ChunkBuffer expected = LoadFactoryBankBytes(bank);
    Tesvar& reference = Make();
    LoadBankFromMemory(reference, expected.Data(), expected.Size());
    EXPECT_EQ(plug.ProgramName(5), reference.ProgramName(5)) << bank;
  }
  for (int bank = 0; bank < 3; ++bank) {
    g.ScriptMessage(kMessageYes);
    Run(plug, kRestoreFactoryBank + bank);
    EXPECT_EQ(LastMessage(plug), std::string("Do you really want to overwrite all programs?|") + bankCaptions[bank]);
    ChunkBuffer expected = LoadFactoryBankBytes(bank);
    Tesvar& reference = Make();
    LoadBankFromMemory(reference, expected.Data(), expected.Size());
    for (int p = 0; p < 64; p += 9) EXPECT_EQ(plug.ProgramName(p), reference.ProgramName(p)) << bank << " " << p;
  }
}

// ---- Files ----------------------------------------------------------------------------------------------

TEST_F(UtilityCommandsTest, SaveProgramProposesTheCleanedNameAndSavesTheEditedValues) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  Rename(plug, "A/B:C?");
  plug.HostSetParameter(16, 0.25f);  // an edit not yet stored in the program
  const std::string path = Path("saved/A_B_C_.fxp");
  std::filesystem::create_directories(Path("saved"));
  g.ScriptFile(path);
  Run(plug, kSaveProgram);
  const IFileRequest& request = g.FileRequests().back();
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.fileName, "A_B_C_");
  EXPECT_EQ(request.pattern, "*.fxp");
  EXPECT_EQ(request.folder, plug.Settings().programFilesPath + Slash());
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(LastProgramFolder(), Path("saved"));
  // The file holds the edit: loading it elsewhere gives the value.
  Tesvar& other = Make();
  ASSERT_TRUE(LoadProgramFile(other, path));
  EXPECT_NEAR(other.GetParam(16)->Normalised(), 0.25, 1e-6);
  EXPECT_EQ(MessageCount(plug), 0u);
}

TEST_F(UtilityCommandsTest, SaveBankProposesTesvarAndFailuresSayCannotSave) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  Rename(plug, "Anything");
  const std::string path = Path("nowhere/deeper/bank.fxb");  // no such folder
  g.ScriptFile(path);
  Run(plug, kSaveBank);
  EXPECT_EQ(g.FileRequests().back().fileName, "Tesvar");
  EXPECT_EQ(g.FileRequests().back().pattern, "*.fxb");
  EXPECT_EQ(LastMessage(plug), "Cannot save file!|Error");
  EXPECT_EQ(g.Messages().back().buttons, IMessageButtons::kOK);
  // The folder is remembered also when the save failed.
  EXPECT_EQ(LastProgramFolder(), Path("nowhere/deeper"));
}

TEST_F(UtilityCommandsTest, LoadProgramAndBankBringTheFilesBackOrSayCannotLoad) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  plug.SwitchProgram(2);
  const std::vector<double> saved = Values(plug);
  const std::string program = Path("p.fxp");
  const std::string bank = Path("b.fxb");
  ASSERT_TRUE(SaveProgramFile(plug, program));
  ASSERT_TRUE(SaveBankFile(plug, bank));
  const std::vector<std::string> names = Names(plug);

  plug.HostSetParameter(16, 0.9f);
  g.ScriptFile(program);
  Run(plug, kLoadProgram);
  EXPECT_FALSE(g.FileRequests().back().save);
  EXPECT_EQ(g.FileRequests().back().fileName, "");
  EXPECT_EQ(Values(plug), saved);

  g.ScriptMessage(kMessageYes);
  Run(plug, kRestoreFactoryBank + 1);
  ASSERT_NE(Names(plug), names);
  g.ScriptFile(bank);
  Run(plug, kLoadBank);
  EXPECT_EQ(Names(plug), names);
  EXPECT_EQ(Values(plug), saved);

  WriteFile(Path("junk.fxp"), "not a program file");
  g.ScriptFile(Path("junk.fxp"));
  Run(plug, kLoadProgram);
  EXPECT_EQ(LastMessage(plug), "Cannot load file!|Error");
  g.ScriptFile(Path("junk.fxp"));
  Run(plug, kLoadBank);
  EXPECT_EQ(LastMessage(plug), "Cannot load file!|Error");
  EXPECT_EQ(Names(plug), names);

  // A cancelled dialog ends the command silently.
  const std::size_t messages = MessageCount(plug);
  Run(plug, kLoadProgram);
  Run(plug, kSaveProgram);
  EXPECT_EQ(MessageCount(plug), messages);
}

TEST_F(UtilityCommandsTest, TheProgramFolderIsSharedByEveryInstanceAndOnlyCommand14WritesIt) {
  Tesvar& first = MakeMenusEditor();
  Tesvar& second = MakeMenusEditor();
  std::filesystem::create_directories(Path("banks"));
  const std::string program = Path("banks/x.fxp");
  ASSERT_TRUE(SaveProgramFile(first, program));
  Graphics(first).ScriptFile(program);
  Run(first, kLoadProgram);
  Run(second, kLoadBank);  // cancelled, but it started in the folder the first instance chose
  EXPECT_EQ(Graphics(second).FileRequests().back().folder, Path("banks") + Slash());
  EXPECT_EQ(IniText().find("Path to Program Files"), std::string::npos);

  // 14: a save dialog used as a folder chooser.
  std::filesystem::create_directories(Path("chosen"));
  Graphics(second).ScriptFile(Path("chosen/[file name is ignored]"));
  Run(second, kDefaultProgramFolder);
  const IFileRequest& request = Graphics(second).FileRequests().back();
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.fileName, "[file name is ignored]");
  EXPECT_EQ(request.pattern, "*.");
  EXPECT_EQ(request.defaultExtension, "");
  EXPECT_EQ(request.folder, Path("banks") + Slash());
  EXPECT_EQ(LastProgramFolder(), Path("chosen"));
  EXPECT_EQ(second.Settings().programFilesPath, Path("chosen"));
  EXPECT_NE(IniText().find("Path to Program Files=" + Path("chosen")), std::string::npos);
}

TEST_F(UtilityCommandsTest, TheFirstCommandTakesTheConfiguredFolder) {
  WriteFile(Ini(), "[Global]\nPath to Program Files=" + Path("configured") + "\n");
  Tesvar& plug = MakeMenusEditor();
  Run(plug, kLoadProgram);
  EXPECT_EQ(Graphics(plug).FileRequests().back().folder, Path("configured") + Slash());
}

TEST_F(UtilityCommandsTest, FileCommandsDoNothingWithTheWindowClosed) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  g.Close();
  g.ScriptFile(Path("x.fxp"));
  Run(plug, kSaveProgram);
  EXPECT_FALSE(std::filesystem::exists(Path("x.fxp")));
  EXPECT_TRUE(g.FileRequests().empty());
  Run(plug, kLoadTapeDump);
  EXPECT_TRUE(TapeDialog(plug)->IsHidden());
}

// ---- Startup bank ---------------------------------------------------------------------------------------

TEST_F(UtilityCommandsTest, StartupBankIsSelectedWithoutLoadingThenLoadedAndUnselected) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  EXPECT_EQ(plug.Settings().startupBank, "");

  g.ScriptMessage(kMessageYes);
  Run(plug, kRestoreFactoryBank + 2);
  const std::string bank = Path("start/veltrum.fxb");
  std::filesystem::create_directories(Path("start"));
  ASSERT_TRUE(SaveBankFile(plug, bank));
  g.ScriptMessage(kMessageYes);
  Run(plug, kRestoreFactoryBank);
  const std::string before = Bank(plug);

  g.ScriptFile(bank);
  Run(plug, kSelectStartupBank);
  EXPECT_EQ(g.FileRequests().back().folder, plug.Settings().documentsFolder + Slash());
  EXPECT_EQ(g.FileRequests().back().pattern, "*.fxb");
  EXPECT_EQ(plug.Settings().startupBank, bank);
  EXPECT_NE(IniText().find("File=" + bank), std::string::npos);
  EXPECT_TRUE(Bank(plug) == before);  // not loaded yet
  EXPECT_EQ(LastStartupBankFolder(), Path("start"));
  Run(plug, kSelectStartupBank);  // cancelled: it starts where the last one was found
  EXPECT_EQ(g.FileRequests().back().folder, Path("start") + Slash());

  g.ScriptMessage(kMessageNo);
  Run(plug, kLoadStartupBank);
  EXPECT_EQ(LastMessage(plug),
            "The Startup Bank is:\n" + bank + "\n\nDo you really want to reload all programs?|Load Startup Bank");
  EXPECT_TRUE(Bank(plug) == before);
  g.ScriptMessage(kMessageYes);
  Run(plug, kLoadStartupBank);
  EXPECT_FALSE(Bank(plug) == before);

  g.ScriptMessage(kMessageNo);
  Run(plug, kUnselectStartupBank);
  EXPECT_EQ(LastMessage(plug),
            "The Startup Bank is:\n" + bank + "\n\nDo you really want to unselect it?|Unselect Startup Bank");
  EXPECT_EQ(plug.Settings().startupBank, bank);
  Run(plug, kUnselectStartupBank);  // no answer: it runs
  EXPECT_EQ(plug.Settings().startupBank, "");
  EXPECT_EQ(IniText().find("File="), std::string::npos);
}

TEST_F(UtilityCommandsTest, AStartupBankThatCannotLoadSaysSo) {
  Tesvar& plug = MakeMenusEditor();
  plug.SetStartupBank(Path("gone.fxb"));
  Graphics(plug).ScriptMessage(kMessageYes);
  Run(plug, kLoadStartupBank);
  EXPECT_EQ(LastMessage(plug), "Cannot load file!|Error");
}

// ---- Configuration ---------------------------------------------------------------------------------------

TEST_F(UtilityCommandsTest, ReloadAndSaveGoOnlyOnYes) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  WriteFile(Ini(), "[MIDI Global]\nMIDI Thru=true\n");
  Run(plug, kReloadConfiguration);  // no answer: not reloaded
  EXPECT_FALSE(plug.Settings().midiThru);
  EXPECT_EQ(LastMessage(plug),
            "The INI configuration file is:\n" + Ini() + "\n\nDo you really want to reload it?|Reload Configuration");
  g.ScriptMessage(kMessageYes);
  Run(plug, kReloadConfiguration);
  EXPECT_TRUE(plug.Settings().midiThru);

  plug.SetControllerMapping(7, 16);
  Run(plug, kSaveConfiguration);  // no answer: not saved
  EXPECT_EQ(IniText().find("CC7"), std::string::npos);
  EXPECT_EQ(LastMessage(plug),
            "The INI configuration file is:\n" + Ini() + "\n\nDo you really want to overwrite it?|Save Configuration");
  g.ScriptMessage(kMessageYes);
  Run(plug, kSaveConfiguration);
  EXPECT_NE(IniText().find("CC7=16"), std::string::npos);

  std::filesystem::remove(Ini());
  g.ScriptMessage(kMessageYes);
  Run(plug, kReloadConfiguration);
  EXPECT_EQ(LastMessage(plug), "The INI file does not exist.|Problem with INI File");
  EXPECT_EQ(g.Messages().back().buttons, IMessageButtons::kOK);
}

TEST_F(UtilityCommandsTest, TogglesWriteTheirOwnKeysAndShowInTheNextMenu) {
  Tesvar& plug = MakeMenusEditor();
  Run(plug, kShowAllParameters);
  EXPECT_TRUE(plug.Settings().showParameters);
  EXPECT_NE(IniText().find("Show Parameters=true"), std::string::npos);
  EXPECT_EQ(IniText().find("Open Alt View"), std::string::npos);
  Run(plug, kOpenAltViewOnStartup);
  EXPECT_NE(IniText().find("Open Alt View=true"), std::string::npos);
  EXPECT_FALSE(plug.GetPanel().AltView());  // only for instances made afterwards
  Run(plug, kMidiThru);
  Run(plug, kIgnoreProgramChange);
  EXPECT_TRUE(plug.Settings().midiThru);
  EXPECT_TRUE(plug.Settings().ignoreProgramChange);
  EXPECT_NE(IniText().find("MIDI Thru=true"), std::string::npos);
  EXPECT_NE(IniText().find("Ignore Program Change=true"), std::string::npos);
  Run(plug, kShowAllParameters);
  EXPECT_NE(IniText().find("Show Parameters=false"), std::string::npos);
  Tesvar& later = MakeMenusEditor();
  EXPECT_TRUE(later.GetPanel().AltView());
}

TEST_F(UtilityCommandsTest, ShowAllParametersShowsEveryFaderAtOnce) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  const IRect fader = Layout(plug).Find(kVcfCutoff)->Rect();
  const std::vector<LICE_pixel> hidden = Painted(plug, fader);
  MenusTest::PickFromMenu(plug, kShowAllParameters);
  g.Tick();
  EXPECT_NE(Pixels(plug, fader), hidden);
}

// ---- Tape, web -----------------------------------------------------------------------------------------

TEST_F(UtilityCommandsTest, TapeDumpShowsTheDialogAndHomePageOpensTheMakersSite) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  PickFromMenu(plug, kLoadTapeDump);
  EXPECT_FALSE(TapeDialog(plug)->IsHidden());
  PickFromMenu(plug, kVisitHomePage);
  EXPECT_EQ(g.LaunchedUrls(), std::vector<std::string>{"http://www.quellmarkmusic.com"});
  EXPECT_EQ(MessageCount(plug), 0u);
  g.SetLaunchSucceeds(false);
  PickFromMenu(plug, kVisitHomePage);  // no error text: nothing is shown
  EXPECT_EQ(MessageCount(plug), 0u);
}

}  // namespace
