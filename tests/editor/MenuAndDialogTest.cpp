// The menu model's depth-first identifiers and what a pick answers; file dialog requests and
// results; web pages with confirmation and failure.
#include <gtest/gtest.h>

#include <memory>

#include "FrameworkTestSupport.h"
#include "platform/Platform.h"

using namespace editortest;

namespace {

// Root: "A", ("Sub": "S1", ---, "S2"), "B" (disabled), ("Deep": ("Deeper": "D1"))
std::unique_ptr<IPopupMenu> MakeMenu() {
  auto menu = std::make_unique<IPopupMenu>();
  menu->AddItem("A");  // id 0
  auto sub = std::make_unique<IPopupMenu>();
  sub->AddItem("S1");                         // id 2
  sub->AddSeparator();                        // id 3
  sub->AddItem("S2", IPopupMenu::kChecked);   // id 4
  menu->AddSubmenu("Sub", std::move(sub));    // id 1
  menu->AddItem("B", IPopupMenu::kDisabled);  // id 5
  auto deeper = std::make_unique<IPopupMenu>();
  deeper->AddItem("D1");  // id 8
  auto deep = std::make_unique<IPopupMenu>();
  deep->AddSubmenu("Deeper", std::move(deeper));  // id 7
  menu->AddSubmenu("Deep", std::move(deep));      // id 6
  return menu;
}

TEST(PopupMenuTest, IdentifiersRunDepthFirstInItemOrderAndMapBack) {
  auto menu = MakeMenu();
  EXPECT_EQ(menu->IdentifierCount(), 9);
  int index = -1;
  EXPECT_EQ(menu->FindIdentifier(0, &index), menu.get());
  EXPECT_EQ(index, 0);
  IPopupMenu* sub = menu->GetItem(1)->submenu.get();
  EXPECT_EQ(menu->FindIdentifier(4, &index), sub);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(menu->FindIdentifier(5, &index), menu.get());
  EXPECT_EQ(index, 2);
  IPopupMenu* deeper = menu->GetItem(3)->submenu->GetItem(0)->submenu.get();
  EXPECT_EQ(menu->FindIdentifier(8, &index), deeper);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(menu->FindIdentifier(9, &index), nullptr);
  EXPECT_EQ(menu->FindIdentifier(-1, &index), nullptr);
  EXPECT_EQ(menu->IdentifierOf(0, 3), 6);
  EXPECT_EQ(sub->IdentifierOf(2, 2), 4);
  EXPECT_TRUE(sub->GetItem(2)->Checked());
  sub->CheckItem(2, false);
  EXPECT_FALSE(sub->GetItem(2)->Checked());
  menu->EnableItem(2, true);
  EXPECT_TRUE(menu->GetItem(2)->Enabled());
  EXPECT_EQ(menu->GetItem(99), nullptr);
}

TEST(PopupMenuTest, NumberedMenusCountFromOneWithinEachMenu) {
  IPopupMenu plain;
  plain.AddItem("x");
  EXPECT_EQ(plain.DisplayText(0), "x");
  IPopupMenu two(IPopupMenu::Prefix::kTwoDigits);
  two.AddItem("Init");
  two.AddSeparator();
  two.AddItem("Brass");
  EXPECT_EQ(two.DisplayText(0), "01: Init");
  EXPECT_EQ(two.DisplayText(1), "");
  EXPECT_EQ(two.DisplayText(2), "03: Brass");
  IPopupMenu three(IPopupMenu::Prefix::kThreeDigits);
  three.AddItem("a");
  EXPECT_EQ(three.DisplayText(0), "001: a");
  IPopupMenu one(IPopupMenu::Prefix::kOneDigit);
  one.AddItem("a");
  EXPECT_EQ(one.DisplayText(0), "1: a");
}

TEST(PopupMenuTest, APickAnswersTheHoldingMenuAndADismissalOrADisabledItemNothing) {
  Editor e;
  e.Add<RecordingControl>(IRect(0, 0, 200, 100));
  e.Open();
  IGraphicsHeadless& g = *e.graphics;
  g.Tick(3);
  auto menu = MakeMenu();
  g.ScriptMenuPick(4);
  IPopupMenu* chosen = g.PopupMenu(*menu, IRect(10, 10, 20, 20));
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen, menu->GetItem(1)->submenu.get());
  EXPECT_EQ(chosen->ChosenItemIndex(), 2);
  EXPECT_EQ(g.Menus().back(), (std::vector<std::string>{"A", "Sub", "B", "Deep"}));
  // Escape: nothing is chosen, and the earlier choice is forgotten; the whole window is
  // repainted anyway.
  g.ClearPresented();
  EXPECT_EQ(g.PopupMenu(*menu, IRect(10, 10, 20, 20)), nullptr);
  EXPECT_EQ(chosen->ChosenItemIndex(), -1);
  g.Tick();
  ASSERT_EQ(g.Presented().size(), 1u);
  EXPECT_EQ(g.Presented()[0], IRect(0, 0, 200, 100));
  for (int id : {5, 3, 1, 42}) {  // disabled, separator, submenu title, no such item
    g.ScriptMenuPick(id);
    EXPECT_EQ(g.PopupMenu(*menu, IRect()), nullptr) << id;
  }
}

TEST(FileDialogTest, PatternsFoldersAndResults) {
  Editor e;
  e.Open();
  IGraphicsHeadless& g = *e.graphics;
  g.SetFolders("/host", "/plug", "/desk", "/data");
  std::string name = "bank";
  std::string folder;
  g.ScriptFile("/music/banks/mine");
  g.PromptFile(name, true, folder, "fxb fxp");
  const IFileRequest& request = g.FileRequests().back();
  EXPECT_EQ(request.pattern, "*.fxb;*.fxp");
  EXPECT_EQ(request.defaultExtension, "fxb");
  // No folder given: the desktop, with the system's separator.
  EXPECT_EQ(request.folder, std::string("/desk") + platform::PathSeparator());
  EXPECT_EQ(request.fileName, "bank");
  EXPECT_TRUE(request.save);
  EXPECT_EQ(name, "/music/banks/mine.fxb");  // a saved name gets the default extension
  EXPECT_EQ(folder, "/music/banks/");

  g.ScriptFile("/a.b/tape.wav");
  g.PromptFile(name, false, folder, "wav");
  EXPECT_EQ(g.FileRequests().back().folder, "/music/banks/");
  EXPECT_EQ(name, "/a.b/tape.wav");
  EXPECT_EQ(folder, "/a.b/");

  g.PromptFile(name, false, folder, " ");  // a single blank: "*." and no default extension
  EXPECT_EQ(g.FileRequests().back().pattern, "*.");
  EXPECT_EQ(g.FileRequests().back().defaultExtension, "");
  EXPECT_EQ(name, "");  // cancelled
  EXPECT_EQ(folder, "/a.b/");

  g.Close();
  name = "keep";
  g.ScriptFile("/x.fxp");
  g.PromptFile(name, false, folder, "fxp");
  EXPECT_EQ(name, "");  // no window: no dialog
}

TEST(WebPageTest, ConfirmationThenLaunchOrTheErrorText) {
  Editor e;
  e.Open();
  IGraphicsHeadless& g = *e.graphics;
  g.ScriptMessage(kMessageNo);
  EXPECT_FALSE(g.OpenWebPage("https://example.org/", "Update", "Open the page?", "No connection"));
  EXPECT_TRUE(g.LaunchedUrls().empty());
  g.ScriptMessage(kMessageYes);
  EXPECT_TRUE(g.OpenWebPage("https://example.org/", "Update", "Open the page?", "No connection"));
  EXPECT_EQ(g.LaunchedUrls().size(), 1u);
  g.SetLaunchSucceeds(false);
  EXPECT_FALSE(g.OpenWebPage("https://example.org/", "Update", nullptr, "No connection"));
  ASSERT_EQ(g.Messages().size(), 3u);
  EXPECT_EQ(g.Messages()[2].text, "No connection");
  EXPECT_EQ(g.Messages()[2].buttons, IMessageButtons::kOK);
  EXPECT_FALSE(g.OpenWebPage("https://example.org/", "Update", nullptr, nullptr));
  EXPECT_EQ(g.Messages().size(), 3u);
}

}  // namespace
