// The editor beside every other thread: an instance built into the test with the panel in a
// headless editor, made through an entry procedure and driven through the dispatcher as a
// host drives the built plug-in. An audio thread renders with notes and system-exclusive
// events and a host thread automates the parameters, while the user-interface thread opens
// and closes the editor, runs its timer and idle calls, presses the programmer's keys, turns
// knobs, switches views and now and then switches programs and loads chunks and banks. No
// race (the ThreadSanitizer build), no deadlock, no value that is not a number, and every
// note ends. TESVAR_STRESS_SECONDS sets the length, TESVAR_STRESS_SEED replays a run.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editor/Layout.h"
#include "editor/Panel.h"
#include "editor/PanelCommands.h"
#include "editor/PanelLayout.h"
#include "editor/framework/IGraphicsHeadless.h"
#include "engine/Tesvar.h"
#include "tests/platform/TempHome.h"
#include "tests/stress/StressActors.h"

namespace {

using namespace stress;

EditorView* HeadlessPanel(Tesvar& plug) {
  return panel::AttachPanel(new IGraphicsHeadless(&plug, 1032, 588), plug, nullptr);
}

// What the library's entry point does, with the headless editor.
vst::AEffect* VST_CALL HeadlessEditorEntry(vst::HostCallback host) {
  auto* plug = new Tesvar(host, &HeadlessPanel);
  plug->MakeDefaultPrograms();
  return plug->Effect();
}

Tesvar& PlugOf(PluginHost& host) { return *dynamic_cast<Tesvar*>(IPlugVST::FromEffect(host.Effect())); }

int Below(Random& random, int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); }

// The user-interface thread with the editor. Learn is left alone: a controller learned in
// the middle of a pedal press would swallow its release.
class EditorActor : public StressActor {
 public:
  EditorActor(PluginHost& host, UserInterfaceActor& programs) : host_(host), programs_(programs) {}
  const char* Name() const override { return "editor"; }

  void Step(Random& random) override {
    const int roll = Below(random, 100);
    if (roll < 5) {
      programs_.Step(random);
    } else if (!open_) {
      open_ = host_.Dispatch(vst::effEditOpen, 0, 0, &parent_) != 0;
      opens += open_ ? 1 : 0;
      // A short run (a sanitizer build manages a few dozen steps) may never roll the
      // view switch below, so the first open always switches views once.
      if (open_ && opens == 1) SwitchView();
    } else if (roll < 8) {
      host_.Dispatch(vst::effEditClose);
      open_ = false;
    } else if (roll < 30) {
      host_.Dispatch(vst::effEditIdle);
      Graphics().Tick(1 + Below(random, 3));
    } else if (roll < 60) {
      static constexpr int kKeys[] = {panel::kDown, panel::kUp,    panel::kProgramMode, panel::kParameterMode,
                                      panel::kHold, panel::kChord, panel::kPoly,        panel::kUnison};
      const int key = Below(random, 3) == 0 ? kKeys[Below(random, 8)] : panel::kFirstKey + Below(random, 8);
      if (Drag(Shown(key), 0, 1 + Below(random, 3))) ++keys;
    } else if (roll < 95) {
      // A knob, fader or switch of either view: press, move up or down, release.
      const int dy = Below(random, 2) != 0 ? 1 + Below(random, 12) : -1 - Below(random, 12);
      if (Drag(Shown(Below(random, 52)), dy, 1 + Below(random, 6))) ++turns;
    } else {
      SwitchView();
    }
  }

  void Finish() override {
    if (open_) host_.Dispatch(vst::effEditClose);
    open_ = false;
  }

  long opens = 0, keys = 0, turns = 0, viewSwitches = 0;

 private:
  IGraphicsHeadless& Graphics() { return *dynamic_cast<IGraphicsHeadless*>(PlugOf(host_).Editor()); }
  panel::PanelLayout& Layout() { return *dynamic_cast<panel::PanelLayout*>(PlugOf(host_).GetPanel().View()); }

  // The control under a key in the view on show (the key itself or its twin in the other view).
  IControl* Shown(int key) {
    for (int k : {key, key + panel::kAltViewKeyOffset}) {
      if (k >= panel::kRegistrySize) continue;
      IControl* control = Layout().Find(k);
      if (control != nullptr && !control->IsHidden()) return control;
    }
    return nullptr;
  }

  // The view hot spot belongs to both views, so it has no registry key: click its pixels.
  void SwitchView() {
    const bool before = PlugOf(host_).GetPanel().AltView();
    for (const panel::Place& place : panel::BothViewPlaces()) {
      if (place.number == -panel::kViewSwitch) Click((place.x + place.right) / 2, (place.y + place.bottom) / 2);
    }
    if (PlugOf(host_).GetPanel().AltView() != before) ++viewSwitches;
  }

  void Click(int x, int y) {
    IMouseMod left;
    left.left = true;
    Graphics().OnButtonPress(x, y, left, false);
    Graphics().OnButtonRelease(x, y, left);
  }

  // A left press at the control's centre, `moves` pointer moves of dy pixels with a timer
  // tick after each, and the release where the pointer ended.
  bool Drag(IControl* control, int dy, int moves) {
    if (control == nullptr) return false;
    IGraphicsHeadless& g = Graphics();
    const IRect r = control->Rect();
    int x = r.L + r.W() / 2, y = r.T + r.H() / 2;
    IMouseMod left;
    left.left = true;
    g.OnButtonPress(x, y, left, false);
    for (int m = 0; m < moves; ++m) {
      y -= dy;
      g.OnPointerMove(x, y, left);
      g.Tick();
    }
    g.OnButtonRelease(x, y, left);
    return true;
  }

  PluginHost& host_;
  UserInterfaceActor& programs_;
  int parent_ = 0;
  bool open_ = false;
};

class StressEditorTest : public TempHome {};

TEST_F(StressEditorTest, TheEditorBesideEveryThread) {
  const StressConfig config = ConfigFromEnvironment(3.0);
  std::printf("stress editor: seed %llu, %.0f s (replay: TESVAR_STRESS_SEED=%llu TESVAR_STRESS_SECONDS=%g)\n",
              static_cast<unsigned long long>(config.seed), config.seconds,
              static_cast<unsigned long long>(config.seed), config.seconds);
  PluginHost host;
  ASSERT_TRUE(host.Create(&HeadlessEditorEntry)) << host.Error();
  Configure(host, 44100.0f, 256);

  std::vector<std::string> files;
  for (const char* bank : {"factory.fxb", "quellmark.fxb"}) files.push_back(std::string(TESVAR_BANK_DIR) + "/" + bank);
  StressCounters counters;
  AudioActor audio(host, 256, counters);
  HostActor automation({&host}, &host, {48000.0f, 88200.0f}, counters);
  UserInterfaceActor programs({&host}, files, counters);
  EditorActor editor(host, programs);
  RunActors({&audio, &automation, &editor}, config, 60.0);

  // Hold keeps released keys sounding on purpose; let go of it before listening.
  panel::Panel& panelState = PlugOf(host).GetPanel();
  if (panelState.Lit(panel::kHold)) panelState.RunCommand(panel::kHold, false);
  EXPECT_EQ(counters.nonFinite, 0) << "samples or parameter values that are not numbers";
  EXPECT_EQ(counters.ownChunksRefused, 0) << "chunks the plug-in gave and then refused";
  EXPECT_EQ(counters.missingChunks, 0) << "chunk requests answered with nothing";
  EXPECT_EQ(counters.goodFilesRefused, 0) << "good program and bank files refused";
  EXPECT_GT(editor.opens, 0);
  EXPECT_GT(editor.keys + editor.turns, 0);
  EXPECT_GT(editor.viewSwitches, 0);
  EXPECT_LT(PeakAfterEveryNoteOff(host), 1e-4) << "a note kept sounding after its note off";

  std::printf(
      "stress editor: %ld blocks, %ld notes, %ld parameter changes, %ld program switches;\n"
      "               editor opened %ld times, %ld key presses, %ld knob turns, %ld view switches\n",
      counters.blocks.load(), counters.notes.load(), counters.parameterChanges.load(), counters.programSwitches.load(),
      editor.opens, editor.keys, editor.turns, editor.viewSwitches);
}

}  // namespace
