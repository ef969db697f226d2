// The Windows editor window (under Wine on a virtual X display), driven as a user would with
// SendInput: drags and automation, keys passed on to the host, the entry box, menus, message
// boxes and file dialogs, the faults of closing the editor or losing the window while they
// are up, requests from other threads, the window class and what 100 opens leave behind.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "Win32TestSupport.h"

using namespace editortest;

namespace {

class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(e.Open());
    e.Run(200);
    mainThread = GetCurrentThreadId();
  }
  // Runs `act` on another thread after a short wait, while this thread is in a modal loop.
  static std::thread Later(std::function<void()> act, int delayMs = 300) {
    return std::thread([act, delayMs] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      act();
    });
  }
  WinEditor e;
  DWORD mainThread = 0;
};

std::unique_ptr<IPopupMenu> TwoLevelMenu() {
  auto menu = std::make_unique<IPopupMenu>();
  menu->AddItem("First");
  auto sub = std::make_unique<IPopupMenu>();
  sub->AddItem("Inner A");
  sub->AddItem("Inner B", IPopupMenu::kChecked);
  menu->AddSubmenu("More", std::move(sub));
  menu->AddItem("Off", IPopupMenu::kDisabled);
  return menu;
}

TEST_F(Win32WindowTest, TheWindowIsTheEditorsChildOfItsClassWithTheTimerAndTooltips) {
  char name[64] = {};
  GetClassNameA(e.Hwnd(), name, sizeof(name));
  EXPECT_STREQ(name, "IPlugWndClass");
  GetWindowTextA(e.Hwnd(), name, sizeof(name));
  EXPECT_STREQ(name, "IPlug");
  EXPECT_EQ(GetParent(e.Hwnd()), e.HostHwnd());
  RECT r{};
  GetClientRect(e.Hwnd(), &r);
  EXPECT_EQ(r.right, 300);
  EXPECT_EQ(r.bottom, 200);
  EXPECT_STREQ(e.graphics->DrawingApiName(), "Windows GDI");
  ASSERT_NE(e.graphics->TooltipWindow(), nullptr);
  GetClassNameA(e.graphics->TooltipWindow(), name, sizeof(name));
  EXPECT_STREQ(name, "tooltips_class32");
  // The timer runs without any idle call: quiet ticks reach the plug-in's idle.
  const int before = e.plug.idleTicks;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1200);
  std::vector<std::string> keys;
  while (std::chrono::steady_clock::now() < end) {
    e.window->Pump(keys);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_GE(e.plug.idleTicks, before + 1);
  // Folders end with a separator; the code's own module here is the test program.
  EXPECT_EQ(e.graphics->PluginFolder(), e.graphics->HostFolder());
  EXPECT_EQ(e.graphics->PluginFolder().back(), '\\');
  EXPECT_EQ(e.graphics->DesktopFolder().back(), '\\');
  EXPECT_EQ(e.graphics->AppDataFolder(false).back(), '\\');
}

TEST_F(Win32WindowTest, DraggingAKnobIsOneGestureOfAutomationAndRepaintsIt) {
  const std::uint64_t before = WinUser::Screenshot(e.Hwnd(), 20, 20, 40, 40);
  e.plug.events.clear();
  WinUser::MoveTo(e.Hwnd(), 40, 40);
  e.Run(30);
  WinUser::Button(true);
  e.Run(60);
  for (int y = 36; y >= 20; y -= 4) {
    WinUser::MoveTo(e.Hwnd(), 40, y);
    e.Run(30);
  }
  WinUser::Button(false);
  e.Run(200);
  ASSERT_GE(e.plug.events.size(), 3u);
  EXPECT_EQ(e.plug.events.front(), "begin 0");
  EXPECT_EQ(e.plug.events.back(), "end 0");
  for (std::size_t i = 1; i + 1 < e.plug.events.size(); ++i) EXPECT_EQ(e.plug.events[i], "set 0");
  EXPECT_GT(e.knob->Value(), 0.5);
  EXPECT_NE(WinUser::Screenshot(e.Hwnd(), 20, 20, 40, 40), before);
}

TEST_F(Win32WindowTest, KeysNoControlTakesReachTheHostWindowAndHoverShowsATooltip) {
  WinUser::MoveTo(e.Hwnd(), 150, 100);  // the background
  e.Run(30);
  WinUser::Button(true);
  WinUser::Button(false);
  e.Run(50);
  WinUser::Key('Q');
  WinUser::Key(VK_F5);
  e.Run(150);
  ASSERT_GE(e.hostKeys.size(), 2u);
  EXPECT_EQ(e.hostKeys[e.hostKeys.size() - 2], "q");
  EXPECT_EQ(e.hostKeys.back(), "F5");
  e.hostKeys.clear();
  WinUser::MoveTo(e.Hwnd(), 220, 40);  // the control that takes keys
  e.Run(50);
  WinUser::Key('A');
  e.Run(150);
  ASSERT_FALSE(e.keys->log.empty());
  EXPECT_EQ(e.keys->log.back(), "key 15");
  EXPECT_TRUE(e.hostKeys.empty());

  // Resting on the knob shows its tooltip; leaving the window hides it.
  WinUser::MoveTo(e.Hwnd(), 38, 38);
  e.Run(30);
  WinUser::MoveTo(e.Hwnd(), 40, 40);
  bool shown = false;
  for (int i = 0; i < 60 && !shown; ++i) {
    e.Run(50);
    shown = IsWindowVisible(e.graphics->TooltipWindow()) != 0;
  }
  EXPECT_TRUE(shown);
}

TEST_F(Win32WindowTest, TheEntryBoxFiltersTypingCommitsOnReturnAndCancelsOnEscape) {
  e.graphics->OpenTextEntry(e.field, IText(), e.field->Rect(), "", 0);
  ASSERT_TRUE(e.graphics->Entry().IsOpen());
  HWND box = e.graphics->TextEntryWindow();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetDlgCtrlID(box), 99);
  EXPECT_EQ(GetFocus(), box);
  EXPECT_EQ(e.graphics->Entry().GetState(), TextEntry::kFocused);
  e.Run(50);
  WinUser::Type("12ab.5");
  WinUser::Key(VK_RETURN);
  e.Run(200);
  EXPECT_FALSE(e.graphics->Entry().IsOpen());
  EXPECT_EQ(e.graphics->TextEntryWindow(), nullptr);
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 12.5);

  e.graphics->OpenTextEntry(e.field, IText(), e.field->Rect(), "77", 0);
  e.Run(50);
  WinUser::Type("3");  // replaces the selected text
  WinUser::Key(VK_ESCAPE);
  e.Run(200);
  EXPECT_FALSE(e.graphics->Entry().IsOpen());
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 12.5);

  // A click on the editor commits; the box never holds more than the control's limit.
  e.field->SetTextEntryLimit(4);
  e.graphics->OpenTextEntry(e.field, IText(), e.field->Rect(), "", 0);
  e.Run(50);
  WinUser::Type("402345");
  e.Run(100);
  char text[32] = {};
  GetWindowTextA(e.graphics->TextEntryWindow(), text, sizeof(text));
  EXPECT_STREQ(text, "4023");
  WinUser::Key(VK_BACK);
  WinUser::Key(VK_BACK);
  WinUser::MoveTo(e.Hwnd(), 150, 180);
  e.Run(30);
  WinUser::Button(true);
  WinUser::Button(false);
  e.Run(200);
  EXPECT_FALSE(e.graphics->Entry().IsOpen());
  EXPECT_DOUBLE_EQ(e.plug.GetParam(0)->Value(), 40.0);
}

TEST_F(Win32WindowTest, MenusPickFromSubmenusByKeysAndEscapeRunsNothing) {
  auto menu = TwoLevelMenu();
  std::thread act = Later([] {
    WinUser::Key(VK_DOWN);
    WinUser::Key(VK_DOWN);
    WinUser::Key(VK_RIGHT);
    WinUser::Key(VK_DOWN);
    WinUser::Key(VK_RETURN);
  });
  IPopupMenu* chosen = e.graphics->PopupMenu(*menu, IRect(10, 10, 60, 30));
  act.join();
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen, menu->GetItem(1)->submenu.get());
  EXPECT_EQ(chosen->ChosenItemIndex(), 1);

  std::thread escape = Later([] { WinUser::Key(VK_ESCAPE); });
  EXPECT_EQ(e.graphics->PopupMenu(*menu, IRect(10, 10, 60, 30)), nullptr);
  escape.join();
  EXPECT_TRUE(e.graphics->IsWindowOpen());
  EXPECT_EQ(WaitForWindowOfClass(mainThread, "#32768", 0), nullptr);
}

TEST_F(Win32WindowTest, MessageBoxesAreOwnedByTheHostWindowAndAnswerTheirButtons) {
  std::atomic<HWND> owner{nullptr};
  std::thread yes = Later([&] {
    HWND box = WaitForWindowOfClass(mainThread, "#32770");
    owner = box != nullptr ? GetWindow(box, GW_OWNER) : nullptr;
    WinUser::Key(VK_RETURN);
  });
  EXPECT_EQ(e.graphics->ShowMessage("Replace the bank?", "Confirm", IMessageButtons::kYesNo), kMessageYes);
  yes.join();
  EXPECT_EQ(owner.load(), e.HostHwnd());
  std::thread no = Later([&] {
    WaitForWindowOfClass(mainThread, "#32770");
    WinUser::Key('N');
  });
  EXPECT_EQ(e.graphics->ShowMessage("Replace the bank?", "Confirm", IMessageButtons::kYesNo), kMessageNo);
  no.join();
  std::thread ok = Later([&] {
    WaitForWindowOfClass(mainThread, "#32770");
    WinUser::Key(VK_RETURN);
  });
  EXPECT_EQ(e.graphics->ShowMessage("Cannot load file!", "Error", IMessageButtons::kOK), kMessageOK);
  ok.join();
}

TEST_F(Win32WindowTest, FileDialogsOpenSaveWithTheDefaultExtensionAndCancel) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("tesvar-dialog-" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(folder);
  for (const char* name : {"a.fxp", "b.fxb", "c.txt"}) std::ofstream(folder / name) << "x";
  std::string dir = folder.string() + "\\";
  auto typeName = [this](const char* text) {
    return Later([this, text] {
      HWND dialog = WaitForWindowOfClass(mainThread, "#32770", 10000);
      if (dialog == nullptr) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      WinUser::Type(text);
      WinUser::Key(VK_RETURN);
    });
  };
  std::string name;
  std::thread open = typeName("a.fxp");
  e.graphics->PromptFile(name, false, dir, "fxp fxb");
  open.join();
  EXPECT_TRUE(fs::equivalent(fs::path(name), folder / "a.fxp")) << name;
  // The folder becomes the chosen file's, with its separator.
  EXPECT_EQ(dir.back(), '\\') << dir;
  EXPECT_EQ(name.rfind(dir, 0), 0u) << dir;

  name.clear();
  std::thread save = typeName("new");
  e.graphics->PromptFile(name, true, dir, "fxb");
  save.join();
  EXPECT_EQ(fs::path(name).filename().string(), "new.fxb");

  std::thread cancel = Later([this] {
    if (WaitForWindowOfClass(mainThread, "#32770", 10000) == nullptr) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    WinUser::Key(VK_ESCAPE);
  });
  name = "x";
  e.graphics->PromptFile(name, false, dir, "fxp");
  cancel.join();
  EXPECT_EQ(name, "");
  fs::remove_all(folder);
}

TEST_F(Win32WindowTest, TheClipboardIsReadAsUtf8) {
  const wchar_t text[] = L"Gr\u00fc\u00dfe";
  ASSERT_TRUE(OpenClipboard(e.Hwnd()));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
  std::memcpy(GlobalLock(memory), text, sizeof(text));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  std::string read;
  ASSERT_TRUE(e.graphics->ClipboardText(read));
  EXPECT_EQ(read,
            "Gr\xc3\xbc\xc3\x9f"
            "e");
}

}  // namespace
