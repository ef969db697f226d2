// The Linux editor window under a virtual display, driven as a user would through XTest:
// drags and automation, keys passed on to the host, the entry box, menus, message boxes and
// the drawn file chooser, and the faults of closing or losing the window while they are up.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "X11TestSupport.h"

using namespace editortest;

namespace {

class X11WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (run through tools/with-xvfb.sh)";
    ASSERT_TRUE(user.Ok()) << "the X display " << std::getenv("DISPLAY") << " refused a connection";
    ASSERT_TRUE(e.Open());
    e.Run(150);
  }
  // Runs `act` as the user on another thread after a short wait, while this thread is in a
  // modal loop of the editor.
  std::thread Later(std::function<void(User&)> act, int delayMs = 150) {
    return std::thread([act, delayMs] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      User other;
      act(other);
    });
  }
  User user;
  X11Editor e;
};

TEST_F(X11WindowTest, DraggingAKnobIsOneGestureOfAutomationAndRepaintsIt) {
  const unsigned long before = user.Pixel(e.Id(), 40, 40);
  e.plug.events.clear();
  user.MoveTo(e.Id(), 40, 40);
  user.Button(1, true);
  e.Run(60);
  for (int y = 36; y >= 20; y -= 4) {
    user.MoveTo(e.Id(), 40, y);
    e.Run(20);
  }
  user.Button(1, false);
  e.Run(150);
  ASSERT_GE(e.plug.events.size(), 3u);
  EXPECT_EQ(e.plug.events.front(), "begin 0");
  EXPECT_EQ(e.plug.events.back(), "end 0");
  for (std::size_t i = 1; i + 1 < e.plug.events.size(); ++i) EXPECT_EQ(e.plug.events[i], "set 0");
  EXPECT_GT(e.knob->Value(), 0.5);
  EXPECT_NE(user.Pixel(e.Id(), 40, 40), before);
}

TEST_F(X11WindowTest, KeysNoControlTakesReachTheHostWindow) {
  user.MoveTo(e.Id(), 150, 100);  // the background
  user.Button(1, true);
  user.Button(1, false);
  e.Run(50);
  user.Key(XK_q);
  e.Run(100);
  ASSERT_FALSE(e.hostKeys.empty());
  EXPECT_EQ(e.hostKeys.back(), "q");
  e.hostKeys.clear();
  user.MoveTo(e.Id(), 220, 40);  // the control that takes keys
  e.Run(30);
  user.Key(XK_a);
  e.Run(100);
  EXPECT_EQ(e.keys->log.back(), "key 15");
  EXPECT_TRUE(e.hostKeys.empty());
}

TEST_F(X11WindowTest, TheEntryBoxFiltersTypingCommitsOnReturnAndCancelsOnEscape) {
  e.graphics->OpenTextEntry(e.field, IText(), e.field->Rect(), "", 0);
  ASSERT_TRUE(e.graphics->Entry().IsOpen());
  e.Run(50);
  user.Type("12ab.5");
  user.Key(XK_Return);
  e.Run(150);
  EXPECT_FALSE(e.graphics->Entry().IsOpen());
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 12.5);

  e.graphics->OpenTextEntry(e.field, IText(), e.field->Rect(), "77", 0);
  e.Run(50);
  user.Key(XK_BackSpace);  // the whole text starts selected
  user.Type("3");
  user.Key(XK_Escape);
  e.Run(150);
  EXPECT_FALSE(e.graphics->Entry().IsOpen());
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 12.5);

  // A click elsewhere commits.
  e.graphics->OpenTextEntry(e.field, IText(), e.field->Rect(), "", 0);
  e.Run(50);
  user.Type("40");
  user.MoveTo(e.Id(), 150, 180);
  user.Button(1, true);
  user.Button(1, false);
  e.Run(150);
  EXPECT_FALSE(e.graphics->Entry().IsOpen());
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 40.0);
}

std::unique_ptr<IPopupMenu> TwoLevelMenu() {
  auto menu = std::make_unique<IPopupMenu>();
  menu->AddItem("First");
  menu->AddItem("Off", IPopupMenu::kDisabled);
  auto sub = std::make_unique<IPopupMenu>();
  sub->AddItem("Inner A");
  sub->AddItem("Inner B", IPopupMenu::kChecked);
  menu->AddSubmenu("More", std::move(sub));
  return menu;
}

TEST_F(X11WindowTest, MenusPickFromSubmenusByKeysAndEscapeRunsNothing) {
  auto menu = TwoLevelMenu();
  // Down twice skips the disabled item to "More", Right opens it, Down, Return picks.
  std::thread act = Later([](User& u) {
    u.Key(XK_Down);
    u.Key(XK_Down);
    u.Key(XK_Right);
    u.Key(XK_Down);
    u.Key(XK_Return);
  });
  IPopupMenu* chosen = e.graphics->PopupMenu(*menu, IRect(10, 10, 60, 30));
  act.join();
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen, menu->GetItem(2)->submenu.get());
  EXPECT_EQ(chosen->ChosenItemIndex(), 1);

  std::thread escape = Later([](User& u) { u.Key(XK_Escape); });
  EXPECT_EQ(e.graphics->PopupMenu(*menu, IRect(10, 10, 60, 30)), nullptr);
  escape.join();
  // A click outside dismisses too.
  std::thread outside = Later([this](User& u) {
    u.MoveTo(e.Id(), 290, 190);
    u.Button(1, true);
    u.Button(1, false);
  });
  EXPECT_EQ(e.graphics->PopupMenu(*menu, IRect(10, 10, 60, 30)), nullptr);
  outside.join();
  EXPECT_TRUE(e.graphics->IsWindowOpen());
}

TEST_F(X11WindowTest, MessageBoxesAnswerTheirButtons) {
  std::thread yes = Later([](User& u) { u.Key(XK_Return); });
  EXPECT_EQ(e.graphics->ShowMessage("Replace the bank?", "Confirm", IMessageButtons::kYesNo), kMessageYes);
  yes.join();
  std::thread no = Later([](User& u) { u.Key(XK_Escape); });
  EXPECT_EQ(e.graphics->ShowMessage("Replace the bank?", "Confirm", IMessageButtons::kYesNo), kMessageNo);
  no.join();
  std::thread ok = Later([](User& u) { u.Key(XK_space); });
  EXPECT_EQ(e.graphics->ShowMessage("Cannot load file!", "Error", IMessageButtons::kOK), kMessageOK);
  ok.join();
}

TEST_F(X11WindowTest, TheDrawnFileChooserListsFilteredFilesAndTakesATypedName) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("tesvar-chooser-" + std::to_string(getpid()));
  fs::create_directories(folder / "sub");
  for (const char* name : {"a.fxp", "B.FXB", "c.txt"}) std::ofstream(folder / name) << "x";
  setenv("TESVAR_FILE_DIALOG", "drawn", 1);
  const x11::FolderListing listing = x11::ListFolder(folder.string(), {"fxp", "fxb"}, "*.fxp;*.fxb");
  EXPECT_EQ(listing.files, (std::vector<std::string>{"a.fxp", "B.FXB"}));
  EXPECT_EQ(listing.folders, (std::vector<std::string>{"..", "sub"}));

  std::string name;
  std::string dir = folder.string() + "/";
  std::thread type = Later([](User& u) {
    u.Type("a.fxp");
    u.Key(XK_Return);
  });
  e.graphics->PromptFile(name, false, dir, "fxp fxb");
  type.join();
  EXPECT_EQ(name, (folder / "a.fxp").string());

  // Saving under a new name without extension gets the default one.
  std::thread save = Later([](User& u) {
    u.Type("new");
    u.Key(XK_Return);
  });
  name.clear();
  e.graphics->PromptFile(name, true, dir, "fxb");
  save.join();
  EXPECT_EQ(name, (folder / "new.fxb").string());
  std::thread cancel = Later([](User& u) { u.Key(XK_Escape); });
  e.graphics->PromptFile(name, false, dir, "fxp");
  cancel.join();
  EXPECT_EQ(name, "");
  fs::remove_all(folder);
}

TEST_F(X11WindowTest, ClosingFromAnotherThreadEndsAnOpenMenuBoxOrDialog) {
  auto menu = TwoLevelMenu();
  for (int which = 0; which < 3; ++which) {
    if (!e.graphics->IsWindowOpen()) {
      ASSERT_TRUE(e.Open());
    }
    e.Run(50);
    std::thread closer([this] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      e.graphics->Close();  // the host's close request from a second thread
    });
    if (which == 0) {
      EXPECT_EQ(e.graphics->PopupMenu(*menu, IRect(10, 10, 60, 30)), nullptr);
    }
    if (which == 1) {
      EXPECT_EQ(e.graphics->ShowMessage("Still there?", "Test", IMessageButtons::kYesNo), kMessageNone);
    }
    if (which == 2) {
      setenv("TESVAR_FILE_DIALOG", "drawn", 1);
      std::string name = "x";
      std::string folder = "/";
      e.graphics->PromptFile(name, false, folder, "fxp");
      EXPECT_EQ(name, "");
    }
    closer.join();
    EXPECT_FALSE(e.graphics->IsWindowOpen());
    e.graphics->Idle();  // nothing left to pump: no crash
  }
}

TEST_F(X11WindowTest, AHostThatDestroysItsWindowUnderAnOpenMenuLeavesNothingBehind) {
  auto menu = TwoLevelMenu();
  const int windowsBefore = user.CountWindows();
  std::thread killer([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    e.window.reset();  // the host's window goes, with ours inside (nothing else uses its connection now)
  });
  EXPECT_EQ(e.graphics->PopupMenu(*menu, IRect(10, 10, 60, 30)), nullptr);
  killer.join();
  EXPECT_FALSE(e.graphics->IsWindowOpen());
  e.graphics->Close();
  e.graphics->Idle();
  XSync(user.GetDisplay(), False);
  EXPECT_LE(user.CountWindows(), windowsBefore - 2);  // the host's window and ours are gone
}

TEST_F(X11WindowTest, IdleFromAnotherThreadDoesNothingAndOpeningAHundredTimesLeaksNoWindow) {
  std::atomic<bool> stop{false};
  std::thread other([&] {
    while (!stop) e.graphics->Idle();  // a host calling idle from a wrong thread
  });
  e.Run(100);
  stop = true;
  other.join();
  e.graphics->Close();
  XSync(user.GetDisplay(), False);
  const int windows = user.CountWindows();
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(e.Open());
    e.Run(i % 10 == 0 ? 30 : 0);
    e.graphics->Close();
  }
  XSync(user.GetDisplay(), False);
  EXPECT_EQ(user.CountWindows(), windows);
}

TEST_F(X11WindowTest, TwoEditorsOpenAndCloseSideBySide) {
  X11Editor second;
  ASSERT_TRUE(second.Open());
  second.Run(50);
  e.Run(50);
  EXPECT_TRUE(e.graphics->IsWindowOpen());
  EXPECT_TRUE(second.graphics->IsWindowOpen());
  EXPECT_NE(e.Id(), second.Id());
  e.graphics->Close();
  second.Run(50);
  EXPECT_TRUE(second.graphics->IsWindowOpen());
  second.graphics->Close();
}

}  // namespace
