// Values from other threads reach the controls only through the mailbox, on the editor's
// timer: posts never block, a later post replaces an earlier one, and the audio thread never
// touches a control (the threaded case is meant for the ThreadSanitizer build).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "FrameworkTestSupport.h"

using namespace editortest;

namespace {

TEST(ValueMailboxTest, PostsAreTakenOnceInIndexOrderAndTheLastPostWins) {
  ValueMailbox box(4);
  std::vector<std::pair<int, double>> taken;
  auto take = [&](int i, double v) { taken.emplace_back(i, v); };
  EXPECT_FALSE(box.HasPosts());
  box.Post(2, 0.1);
  box.Post(0, 0.2);
  box.Post(2, 0.3);
  box.Post(4, 0.5);  // out of range
  box.Post(-1, 0.5);
  box.Post(1, std::nan(""));
  EXPECT_FALSE(box.Take(take));
  EXPECT_EQ(taken, (std::vector<std::pair<int, double>>{{0, 0.2}, {2, 0.3}}));
  taken.clear();
  EXPECT_FALSE(box.Take(take));
  EXPECT_TRUE(taken.empty());
  box.PostProgramChanged();
  EXPECT_TRUE(box.Take(take));
  EXPECT_FALSE(box.Take(take));
}

void CountProgramChange(void* context) { ++*static_cast<int*>(context); }

TEST(ValueMailboxTest, HostValuesReachControlsAtTheNextTickAndPlainValuesAreConverted) {
  Editor e;
  RecordingControl* cutoff = e.Add<RecordingControl>(IRect(0, 0, 10, 10), 0);
  RecordingControl* aux = e.Add<RecordingControl>(IRect(10, 0, 20, 10));
  aux->AddAuxParam(1);
  int programChanges = 0;
  e.graphics->SetProgramChangedHandler(CountProgramChange, &programChanges);
  e.Open();
  EXPECT_DOUBLE_EQ(cutoff->Value(), 0.5);
  EXPECT_DOUBLE_EQ(aux->AuxValue(0), 2.0 / 7.0);

  e.plug.HostSetParameter(0, 0.25f);
  EXPECT_DOUBLE_EQ(cutoff->Value(), 0.5);  // not yet: the editor's timer takes it
  e.graphics->Tick();
  EXPECT_DOUBLE_EQ(cutoff->Value(), 0.25);

  e.graphics->ShowParamValue(0, 40.0, false);  // a plain value, through the parameter's range
  e.graphics->ShowParamValue(1, 7.0, false);
  e.graphics->ShowParamValue(9, 1.0, true);  // no such parameter
  e.graphics->Tick();
  EXPECT_DOUBLE_EQ(cutoff->Value(), 0.4);
  EXPECT_DOUBLE_EQ(aux->AuxValue(0), 1.0);

  e.plug.GetParam(0)->SetPlain(90.0);
  e.plug.RefreshControls();  // a program change: every value and the program-changed flag
  EXPECT_EQ(programChanges, 0);
  e.graphics->Tick();
  EXPECT_EQ(programChanges, 1);
  EXPECT_DOUBLE_EQ(cutoff->Value(), 0.9);
  // Values that arrive while the window is closed are shown when it opens again.
  e.graphics->Close();
  e.plug.HostSetParameter(0, 0.125f);
  e.graphics->Open(nullptr);
  EXPECT_DOUBLE_EQ(cutoff->Value(), 0.125);
}

TEST(ValueMailboxThreadTest, AnAudioThreadAutomatesWhileTheEditorDraws) {
  Editor e;
  Strip strip(20, 20, 16);
  e.Add<IPanelControl>(IRect(0, 0, 200, 100), kColorBlack);
  for (int i = 0; i < 4; ++i) e.Add<IKnobMultiControl>(i * 40, 10, i, strip.bitmap);
  e.Open();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    // The host's automation and MIDI-learned controllers arrive here.
    float v = 0.0f;
    while (!stop.load()) {
      for (int i = 0; i < 4; ++i) e.plug.HostSetParameter(i, v);
      platform::Guard guard(e.plug.Lock());  // a MIDI program change runs under the lock
      e.plug.RefreshControls();
      v = v > 1.0f ? 0.0f : v + 0.01f;
    }
  });
  long long area = 0;
  for (int tick = 0; tick < 200; ++tick) {
    e.graphics->Tick();
    area += e.graphics->PresentedArea();
    e.graphics->ClearPresented();
    // The user drags a knob meanwhile (the plug-in lock is taken inside).
    e.graphics->OnButtonPress(45, 15, IMouseMod{true, false, false, false}, false);
    e.graphics->OnPointerMove(45, 10, IMouseMod{true, false, false, false});
    e.graphics->OnButtonRelease(45, 10, IMouseMod{true, false, false, false});
  }
  stop = true;
  audio.join();
  EXPECT_GT(area, 0);
}

}  // namespace
