// The two menus: items, flags and check marks as the settings stand, picks mapped back by
// the menu that holds them, and the MENU and BROWSE buttons that open them.
#include <gtest/gtest.h>

#include "editor/controls/IQMButtons.h"
#include "tests/editor/MenusTestSupport.h"

namespace {

using menus::UtilityMenu;
using menus_test::MenusTest;
using menus_test::UtilityItemId;

std::vector<std::string> Texts(const IPopupMenu& menu) {
  std::vector<std::string> texts;
  for (int i = 0; i < menu.ItemCount(); ++i)
    texts.push_back(menu.GetItem(i)->IsSeparator() ? "-" : menu.GetItem(i)->text);
  return texts;
}

TEST(UtilityMenuModel, ItemsInOrderWithTheirSubmenus) {
  UtilityMenu model(menus::UtilityMenuState{}, "www.quellmarkmusic.com");
  IPopupMenu& top = model.Menu();
  const std::vector<std::string> expected = {"Copy Program",
                                             "Paste Program",
                                             "Init Program",
                                             "-",
                                             "Load Program...",
                                             "Save Program",
                                             "Load Bank...",
                                             "Save Bank",
                                             "Load Poly-61 Tape Dump",
                                             "-",
                                             "Select Startup Bank",
                                             "Load Startup Bank",
                                             "Unselect Startup Bank",
                                             "-",
                                             "Default Path for Program Files...",
                                             "Global MIDI Settings...",
                                             "Reload Configuration",
                                             "Save Configuration",
                                             "-",
                                             "Show All Parameters",
                                             "Open Alt. View on Startup",
                                             "Zoom",
                                             "-",
                                             "Go Online..."};
  EXPECT_EQ(Texts(top), expected);
  EXPECT_EQ(Texts(*top.GetItem(4)->submenu),
            (std::vector<std::string>{"Load Program", "-", "Restore Poly-61 Factory Program",
                                      "Restore Quellmark's Factory Program", "Restore Veltrum's Factory Program"}));
  EXPECT_EQ(Texts(*top.GetItem(6)->submenu),
            (std::vector<std::string>{"Load FXB Bank File", "-", "Restore Poly-61 Factory Sounds",
                                      "Restore Quellmark's Factory Sounds", "Restore Veltrum's Factory Sounds"}));
  EXPECT_EQ(Texts(*top.GetItem(15)->submenu), (std::vector<std::string>{"MIDI Thru", "Ignore Program Change"}));
  EXPECT_EQ(Texts(*top.GetItem(menus::kGoOnlineMenu)->submenu),
            (std::vector<std::string>{"Check Online for Update", "Visit www.quellmarkmusic.com"}));
  EXPECT_EQ(Texts(*top.GetItem(menus::kZoomMenu)->submenu),
            (std::vector<std::string>{"Auto", "100 %", "125 %", "150 %", "175 %", "200 %"}));
  for (int i : {0, 1, 2, 3, 5, 7, 8}) EXPECT_FALSE(top.GetItem(i)->submenu) << i;
}

TEST(UtilityMenuModel, DisabledItemsAndCheckMarksFollowTheState) {
  UtilityMenu off(menus::UtilityMenuState{}, "h");
  IPopupMenu& a = off.Menu();
  EXPECT_FALSE(a.GetItem(menus::kPasteProgram)->Enabled());
  EXPECT_FALSE(a.GetItem(menus::kLoadStartupBank)->Enabled());
  EXPECT_FALSE(a.GetItem(menus::kUnselectStartupBank)->Enabled());
  int checked = 0;
  int disabled = 0;
  for (int i = 0; i < a.ItemCount(); ++i) {
    checked += a.GetItem(i)->Checked() ? 1 : 0;
    disabled += a.GetItem(i)->Enabled() ? 0 : 1;
  }
  EXPECT_EQ(checked, 0);
  EXPECT_EQ(disabled, 3);
  EXPECT_FALSE(a.GetItem(15)->submenu->GetItem(0)->Checked());

  menus::UtilityMenuState state;
  state.canPaste = state.hasStartupBank = state.showParameters = state.openAltView = state.midiThru =
      state.ignoreProgramChange = true;
  UtilityMenu on(state, "h");
  IPopupMenu& b = on.Menu();
  for (int i = 0; i < b.ItemCount(); ++i) EXPECT_TRUE(b.GetItem(i)->Enabled()) << i;
  EXPECT_TRUE(b.GetItem(menus::kShowAllParameters)->Checked());
  EXPECT_TRUE(b.GetItem(menus::kOpenAltViewOnStartup)->Checked());
  EXPECT_TRUE(b.GetItem(15)->submenu->GetItem(0)->Checked());
  EXPECT_TRUE(b.GetItem(15)->submenu->GetItem(1)->Checked());

  state.midiThru = false;
  UtilityMenu one(state, "h");
  EXPECT_FALSE(one.Menu().GetItem(15)->submenu->GetItem(0)->Checked());
  EXPECT_TRUE(one.Menu().GetItem(15)->submenu->GetItem(1)->Checked());

  // The Zoom submenu checks exactly the setting: Auto, or its scale.
  for (int zoom : {0, 100, 125, 150, 175, 200}) {
    state.zoom = zoom;
    UtilityMenu z(state, "h");
    const IPopupMenu& e = *z.Menu().GetItem(menus::kZoomMenu)->submenu;
    for (int i = 0; i < e.ItemCount(); ++i) {
      EXPECT_EQ(e.GetItem(i)->Checked(), menus::ZoomOfCommand(menus::kZoomAuto + i) == zoom) << zoom << " item " << i;
    }
  }
}

TEST(UtilityMenuModel, APickMapsToItsCommandByTheMenuThatHoldsIt) {
  const int actions[] = {0,  1,  2,  5,  7,  8,  10, 11, 12, 14, 16, 17, 19, 20, 23, 24,
                         25, 26, 27, 29, 30, 31, 32, 34, 35, 36, 37, 38, 39, 40, 41, 42};
  for (int command : actions) {
    menus::UtilityMenuState all;
    all.canPaste = all.hasStartupBank = true;
    UtilityMenu model(all, "h");
    int index = -1;
    IPopupMenu* holder = model.Menu().FindIdentifier(UtilityItemId(command), &index);
    ASSERT_NE(holder, nullptr) << command;
    holder->SetChosenItemIndex(index);
    EXPECT_EQ(model.CommandFor(holder), command);
  }
  UtilityMenu model(menus::UtilityMenuState{}, "h");
  EXPECT_EQ(model.CommandFor(nullptr), menus::kNoCommand);
  // The same index means another command in another menu.
  model.Menu().SetChosenItemIndex(2);
  EXPECT_EQ(model.CommandFor(&model.Menu()), menus::kInitProgram);
  IPopupMenu* a = model.Menu().GetItem(4)->submenu.get();
  a->SetChosenItemIndex(2);
  EXPECT_EQ(model.CommandFor(a), 29);
  // A menu that is none of the four submenus counts as the top menu.
  IPopupMenu stranger;
  stranger.AddItem("x");
  stranger.SetChosenItemIndex(0);
  EXPECT_EQ(model.CommandFor(&stranger), 0);
}

TEST(ProgramMenuModel, EightBanksOfEightNumberedPrograms) {
  std::vector<std::string> names;
  for (int i = 0; i < 63; ++i) names.push_back("P" + std::to_string(i));  // one short
  menus::ProgramMenu model(names, 28);
  IPopupMenu& top = model.Menu();
  ASSERT_EQ(top.ItemCount(), 8);
  EXPECT_EQ(top.GetItem(0)->text, "11 - 18");
  EXPECT_EQ(top.GetItem(7)->text, "81 - 88");
  EXPECT_EQ(top.GetItem(0)->submenu->GetItem(0)->text, "11: P0");
  EXPECT_EQ(top.GetItem(3)->submenu->GetItem(4)->text, "45: P28");
  EXPECT_EQ(top.GetItem(7)->submenu->GetItem(7)->text, "88: ");  // past the list: no name
  int checked = 0;
  for (int b = 0; b < 8; ++b) {
    EXPECT_FALSE(top.GetItem(b)->Checked());
    for (int n = 0; n < 8; ++n) {
      const IPopupMenu::Item* item = top.GetItem(b)->submenu->GetItem(n);
      EXPECT_TRUE(item->Enabled());
      if (item->Checked()) {
        ++checked;
        EXPECT_EQ(b * 8 + n, 28);
      }
    }
  }
  EXPECT_EQ(checked, 1);

  IPopupMenu* bank4 = top.GetItem(3)->submenu.get();
  bank4->SetChosenItemIndex(4);
  EXPECT_EQ(model.ProgramFor(bank4), 28);
  IPopupMenu* bank1 = top.GetItem(0)->submenu.get();
  bank1->SetChosenItemIndex(7);
  EXPECT_EQ(model.ProgramFor(bank1), 7);
  EXPECT_EQ(model.ProgramFor(nullptr), -1);
}

TEST_F(MenusTest, BrowseOpensTheProgramMenuWhereReleasedAndSwitches) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  // "45" is bank 4's fifth item: submenu item 3 holds identifiers 3*9 ... 3*9+8.
  g.ScriptMenuPick(3 * 9 + 1 + 4);
  shell_test::Recorded().Clear();
  ClickKey(plug, panel::kBrowse);
  ASSERT_EQ(g.Menus().size(), 1u);
  EXPECT_EQ(g.Menus()[0].front(), "11 - 18");
  EXPECT_EQ(plug.CurrentProgram(), 28);
  EXPECT_EQ(shell_test::Recorded().automations.size(), static_cast<std::size_t>(plug.ParamCount()));
  // The button is up again and no repeat runs.
  auto* browse = dynamic_cast<panel::IQMButtonKick*>(Layout(plug).Find(panel::kBrowse));
  EXPECT_FALSE(browse->Look().pressed);
  EXPECT_FALSE(plug.GetPanel().Repeat().Running());
  // Dismissed: nothing changes.
  ClickKey(plug, panel::kBrowse);
  EXPECT_EQ(g.Menus().size(), 2u);
  EXPECT_EQ(plug.CurrentProgram(), 28);
}

TEST_F(MenusTest, MenuOpensTheUtilityMenuInBothViewsAndAPickRedrawsEverything) {
  Tesvar& plug = MakeMenusEditor();
  IGraphicsHeadless& g = Graphics(plug);
  ClickKey(plug, panel::kUtilityMenu);  // dismissed
  ASSERT_EQ(g.Menus().size(), 1u);
  EXPECT_EQ(g.Menus()[0].size(), 24u);
  EXPECT_EQ(g.Menus()[0][8], "Load Poly-61 Tape Dump");

  plug.GetPanel().RunCommand(panel::kViewSwitch, false);
  g.Tick();
  for (int i = 0; i < g.NControls(); ++i) g.GetControl(i)->MarkClean();
  g.ScriptMenuPick(UtilityItemId(menus::kMidiThru));
  g.OnButtonPress(500, 260, IMouseMod{true}, false);  // the alternative view's MENU, printed on the panel
  EXPECT_TRUE(plug.Settings().midiThru);
  for (int i = 0; i < g.NControls(); ++i) EXPECT_TRUE(g.GetControl(i)->IsDirty()) << i;
  g.OnButtonRelease(500, 260, IMouseMod{true});
  // The next opening checks it.
  ClickKey(plug, panel::kUtilityMenu + panel::kAltViewKeyOffset);
  EXPECT_EQ(g.Menus().size(), 3u);
}

TEST_F(MenusTest, TheTapeDialogIsTheLastControlAndStartsHidden) {
  Tesvar& plug = MakeMenusEditor();
  IGraphics& g = Graphics(plug);
  IQMTapeLoadDialog* dialog = TapeDialog(plug);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->IsHidden());
  // After it only the invisible holder of the layout, which is never drawn or hit.
  int index = -1;
  for (int i = 0; i < g.NControls(); ++i) {
    if (g.GetControl(i) == dialog) index = i;
  }
  ASSERT_EQ(index, g.NControls() - 2);
  EXPECT_TRUE(g.GetControl(index + 1)->Rect().AllZero());
}

}  // namespace
