// The panel's command handler: the buttons of both views send it command numbers, and it
// drives the programmer (program and parameter selection, DOWN/UP with auto-repeat), the
// key-assign buttons, MIDI learn, the view switch and the program browser; the lit buttons,
// LED displays and browser rows ask it what to show. Owned by the product, one per
// instance, and kept for the instance's life (the state survives closing the editor).
//
// Threads: everything runs on the host's user-interface thread (editor events, the editor
// timer, the host's idle calls), except MarkBrowserStale, which any thread may call, and
// Idle, which does nothing on another thread. What
// it reads or changes of the plug-in it reads or changes under the plug-in lock, so the
// audio thread never sees half a change and the panel never reads half of one.
#pragma once

#include <array>
#include <atomic>

#include "editor/AutoRepeat.h"
#include "editor/Browser.h"
#include "editor/PanelCommands.h"
#include "editor/PanelView.h"
#include "editor/Programmer.h"

class Tesvar;

namespace panel {

class Panel {
 public:
  // Takes the view state from the configuration's "Open Alt View" (read by then).
  explicit Panel(Tesvar& plug);
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;

  // The editor's side of the seam; null while there is none. Not owned.
  void SetView(PanelView* view) { view_ = view; }
  PanelView* View() const { return view_; }
  bool WindowOpen() const { return view_ != nullptr && view_->IsWindowOpen(); }

  // ---- Commands ---------------------------------------------------------------------------
  // Runs command (its number, not negated); right is true for a click not made with the
  // left button. Answers whether the pressing button shows as pressed (all but FILE).
  // Afterwards the product's idle work runs at once.
  bool RunCommand(int command, bool right);
  // A push button's press at `now`: the command runs once, and DOWN or UP held in
  // parameter mode of the main view start the auto-repeat.
  bool Press(int command, bool right, PanelTime now);
  // Any push button or BROWSE released: the auto-repeat stops.
  void Release() { repeat_.Stop(); }
  // The editor timer (about every 40 ms): a due repeat runs, a changed program store reaches
  // the browser, and the state-driven controls are redrawn where their look changed. With
  // the window closed the repeat stops.
  void TimerTick(PanelTime now);
  const AutoRepeat& Repeat() const { return repeat_; }
  // The time the editor's presses and ticks are stamped with: the steady clock, unless a
  // test gives another.
  using Clock = PanelTime (*)();
  void SetClock(Clock clock) { clock_ = clock != nullptr ? clock : &PanelClock::now; }
  PanelTime Now() const { return clock_(); }
  // A main-view fader was pressed: its parameter (8 ... 33) becomes the selected one and
  // the programmer goes into parameter mode.
  void SelectParameter(int index);

  // ---- What the controls show ---------------------------------------------------------------
  bool Lit(int command);
  // The LEARN label's frame: 1 while learning, 2 while forgetting, 0 (nothing) otherwise.
  int LearnLabelFrame();
  // The code of display 115, 116 or 117 (two blanks for any other number).
  int DisplayCode(int display);
  // The Voices digits, left to right, as digit-frame nibbles (0 ... 9, minus, blank): the
  // voices per note and a minus in Chord and Unison (two digits when it is above 9), then
  // the polyphony.
  std::array<int, 4> VoicesDigits();
  const Programmer& GetProgrammer() const { return programmer_; }
  const Browser& GetBrowser() const { return browser_; }
  bool AltView() const { return altView_; }

  // ---- Browser ------------------------------------------------------------------------------
  // A file-list row clicked: reads that bank's programs.
  void PickBank(int row);
  // A program-list row clicked: loads or switches to that program after the click mode; a
  // row past the list's end clears the selection.
  void PickProgram(int row);
  // A scroll-bar click: one page back or forward.
  void ScrollBrowser(ListKind kind, bool forward);
  void SetClickMode(ClickMode mode) { browser_.SetMode(mode); }

  // ---- The product's side -------------------------------------------------------------------
  // Shows the current view's controls; entering the alternative view fills the browser.
  void ApplyView();
  // The product's idle work (its IdleTick): a browser whose programs changed is refreshed,
  // and when the plug-in asked for an editor refresh and the window is open, the panel's
  // state-driven controls are redrawn. Called from another thread than the editor's, it
  // does nothing (the editor's timer does the same work).
  void Idle();
  // The program store changed (any thread): the browser is refreshed at the next idle.
  void MarkBrowserStale() { browserStale_.store(true); }

 private:
  void RunFile();
  void ListOwnPrograms();
  void ListFactoryBanks();
  // A new file list with nothing picked and no programs yet, from source.
  void ShowFileList(std::vector<FileEntry> files, BrowserSource source);
  void StepDownUp(bool up);
  void PressDigit(int b);
  // A value set by the panel: the same road as any edit (host told, controls shown, the
  // engine hears it). Takes the lock.
  void SetPlainFromPanel(int index, double plain);
  // Overwrites the current program with a listed program's state and name.
  void LoadIntoCurrent(const ChunkBuffer& state, const std::string& name);
  void RefreshBrowser();
  // The browser after a program-store change (MarkBrowserStale).
  void RefreshStaleBrowser();
  // The idle work itself, on the editor's thread.
  void Refresh();

  Tesvar& plug_;
  PanelView* view_ = nullptr;
  Programmer programmer_;
  Browser browser_;
  AutoRepeat repeat_;
  Clock clock_ = &PanelClock::now;
  bool altView_ = false;
  std::atomic<bool> browserStale_{false};
};

}  // namespace panel
