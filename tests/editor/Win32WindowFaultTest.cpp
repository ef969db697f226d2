// The Windows editor window's faults: a host that closes the editor, or destroys its own
// window, while a menu, message box or file dialog is up (from inside the modal loop or from
// another thread); editor requests from threads other than the window's; two editors and the
// one window class; and what 100 opens and closes leave behind.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "Win32TestSupport.h"

using namespace editortest;

namespace {

enum class Modal { kMenu, kBox, kDialog };
const char* const kModalNames[] = {"menu", "message box", "file dialog"};

// Shows one of the editor's modal windows on this thread; answers whether it answered
// nothing (as it must when the editor closed under it).
bool ShowModal(WinEditor& e, Modal which) {
  static IPopupMenu menu;
  if (menu.ItemCount() == 0) {
    menu.AddItem("One");
    menu.AddItem("Two");
  }
  switch (which) {
    case Modal::kMenu: return e.graphics->PopupMenu(menu, IRect(10, 10, 60, 30)) == nullptr;
    case Modal::kBox: return e.graphics->ShowMessage("Still there?", "Test", IMessageButtons::kYesNo) == kMessageNone;
    default: {
      std::string name = "x";
      std::string folder;
      e.graphics->PromptFile(name, false, folder, "fxp");
      return name.empty();
    }
  }
}

const char* ClassOf(Modal which) { return which == Modal::kMenu ? "#32768" : "#32770"; }

// A thread timer of the host: it fires inside whatever modal loop runs on this thread.
std::function<void()> gTimerAction;
void CALLBACK RunTimerAction(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (gTimerAction) gTimerAction();
}

class Win32WindowFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(e.Open());
    e.Run(100);
    mainThread = GetCurrentThreadId();
  }
  // Pumps the host's loop until nothing of the modal window is left.
  bool ModalGone(Modal which) {
    for (int i = 0; i < 40; ++i) {
      if (WaitForWindowOfClass(mainThread, ClassOf(which), 0) == nullptr) return true;
      e.Run(50);
    }
    return false;
  }
  WinEditor e;
  DWORD mainThread = 0;
};

TEST_F(Win32WindowFaultTest, ClosingFromAnotherThreadEndsTheMenuBoxOrDialogWithNoAnswer) {
  for (Modal which : {Modal::kMenu, Modal::kBox, Modal::kDialog}) {
    SCOPED_TRACE(kModalNames[static_cast<int>(which)]);
    if (!e.graphics->IsWindowOpen()) {
      ASSERT_TRUE(e.Open());
    }
    e.Run(50);
    std::atomic<bool> sawModal{false};
    std::thread closer([&] {
      sawModal = WaitForWindowOfClass(mainThread, ClassOf(which), 10000) != nullptr;
      e.graphics->Close();  // the host's close request from a second thread
    });
    EXPECT_TRUE(ShowModal(e, which));
    closer.join();
    EXPECT_TRUE(sawModal);
    EXPECT_FALSE(e.graphics->IsWindowOpen());
    EXPECT_TRUE(ModalGone(which));
    e.graphics->Idle();  // nothing left to pump: no crash
  }
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_FALSE(IGraphicsWin::ClassRegistered());
}

TEST_F(Win32WindowFaultTest, ClosingFromInsideTheModalLoopEndsItWithNoAnswer) {
  for (Modal which : {Modal::kMenu, Modal::kBox, Modal::kDialog}) {
    SCOPED_TRACE(kModalNames[static_cast<int>(which)]);
    if (!e.graphics->IsWindowOpen()) {
      ASSERT_TRUE(e.Open());
    }
    e.Run(50);
    bool sawModal = false;
    // The host's own timer closes the editor while the modal window is up.
    gTimerAction = [&] {
      sawModal = WaitForWindowOfClass(mainThread, ClassOf(which), 0) != nullptr;
      e.graphics->Close();
    };
    SetTimer(nullptr, 0, which == Modal::kDialog ? 1500 : 400, RunTimerAction);
    EXPECT_TRUE(ShowModal(e, which));
    gTimerAction = nullptr;
    EXPECT_TRUE(sawModal);
    EXPECT_FALSE(e.graphics->IsWindowOpen());
    EXPECT_TRUE(ModalGone(which));
  }
}

TEST_F(Win32WindowFaultTest, AHostThatDestroysItsWindowUnderAMessageBoxLeavesNothingBehind) {
  const long windows = ProcessFigure("windows");
  HWND editor = e.Hwnd();
  HWND tooltip = e.graphics->TooltipWindow();
  gTimerAction = [&] { e.window.reset(); };  // the host's window goes, with ours inside
  SetTimer(nullptr, 0, 400, RunTimerAction);
  EXPECT_TRUE(ShowModal(e, Modal::kBox));
  gTimerAction = nullptr;
  EXPECT_FALSE(e.graphics->IsWindowOpen());
  e.graphics->Close();
  e.graphics->Idle();
  EXPECT_TRUE(ModalGone(Modal::kBox));
  // The host's window, ours and the tooltip are gone (with the thread's input helper window).
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_FALSE(IsWindow(tooltip));
  EXPECT_LE(ProcessFigure("windows"), windows - 3);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
}

TEST_F(Win32WindowFaultTest, RequestsFromOtherThreadsCloseOnTheWindowsOwnThread) {
  // Idle from another thread does nothing.
  std::atomic<bool> stop{false};
  std::thread idler([&] {
    while (!stop) e.graphics->Idle();
  });
  e.Run(100);
  stop = true;
  idler.join();
  EXPECT_TRUE(e.graphics->IsWindowOpen());

  // Open from another thread while this thread runs its loop: the old window is closed here,
  // the new one belongs to the other thread, which closes it again.
  HWND first = e.Hwnd();
  std::atomic<bool> done{false};
  std::atomic<bool> opened{false};
  std::thread other([&] {
    opened = e.graphics->Open(e.HostHwnd());
    MSG msg;
    for (int i = 0; i < 20; ++i) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    e.graphics->Close();
    done = true;
  });
  while (!done) e.Run(10);
  other.join();
  EXPECT_TRUE(opened);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(e.graphics->IsWindowOpen());

  // Close from another thread while this thread does not run its loop: the window is cut
  // off from the editor at once and goes when this thread runs again.
  ASSERT_TRUE(e.Open());
  e.Run(50);
  HWND stuck = e.Hwnd();
  std::thread closer([&] { e.graphics->Close(); });
  closer.join();
  EXPECT_FALSE(e.graphics->IsWindowOpen());
  e.Run(200);
  EXPECT_FALSE(IsWindow(stuck));
  ASSERT_TRUE(e.Open());  // and the editor opens again
  e.Run(50);
  EXPECT_TRUE(e.graphics->IsWindowOpen());
}

TEST_F(Win32WindowFaultTest, TwoEditorsShareOneRegistrationOfTheWindowClass) {
  e.graphics->Close();
  EXPECT_FALSE(IGraphicsWin::ClassRegistered());
  const int registrations = IGraphicsWin::ClassRegistrations();
  WinEditor second;
  ASSERT_TRUE(e.Open());
  ASSERT_TRUE(second.Open());
  e.Run(50);
  EXPECT_EQ(IGraphicsWin::ClassRegistrations(), registrations + 1);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
  EXPECT_NE(e.Hwnd(), second.Hwnd());
  e.graphics->Close();
  e.Run(50);
  EXPECT_TRUE(IGraphicsWin::ClassRegistered());
  EXPECT_TRUE(second.graphics->IsWindowOpen());
  second.graphics->Close();
  EXPECT_FALSE(IGraphicsWin::ClassRegistered());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
}

TEST_F(Win32WindowFaultTest, AHundredOpensAndClosesLeaveNoWindowGdiObjectHandleOrMemory) {
  // Warm up: the first opens load the common controls and fill caches.
  for (int i = 0; i < 5; ++i) {
    e.graphics->Close();
    ASSERT_TRUE(e.Open());
    e.Run(20);
  }
  e.graphics->Close();
  e.Run(50);
  const long windows = ProcessFigure("windows");
  const long gdi = ProcessFigure("gdi");
  const long handles = ProcessFigure("handles");
  const long memory = ProcessFigure("private");
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(e.Open());
    e.Run(i % 10 == 0 ? 60 : 0);
    e.graphics->Close();
  }
  e.Run(50);
  std::printf(
      "after 100 opens: windows %ld -> %ld, GDI objects %ld -> %ld, handles %ld -> %ld, private kB %ld -> %ld\n",
      windows, ProcessFigure("windows"), gdi, ProcessFigure("gdi"), handles, ProcessFigure("handles"), memory,
      ProcessFigure("private"));
  EXPECT_EQ(ProcessFigure("windows"), windows);
  EXPECT_GE(gdi, 0) << "no count of GDI objects on this system";
  EXPECT_EQ(ProcessFigure("gdi"), gdi);
  EXPECT_LE(ProcessFigure("handles"), handles + 2);
  EXPECT_LT(ProcessFigure("private") - memory, 2048);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
}

}  // namespace
