// The editor seen through the product and its dispatcher, with a headless window: the
// has-editor flag, the editor opcodes, gestures and automation reaching the host, values
// posted from an audio thread while the editor draws, and idle or close from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "editor/framework/Controls.h"
#include "editor/framework/IGraphicsHeadless.h"
#include "engine/ParameterTable.h"
#include "engine/Tesvar.h"

namespace {

struct HostCall {
  int opcode;
  int index;
  float value;
};
std::mutex gCallsMutex;
std::vector<HostCall> gCalls;

std::intptr_t VST_CALL RecordingHost(vst::AEffect*, std::int32_t opcode, std::int32_t index, std::intptr_t, void*,
                                     float opt) {
  if (opcode == vst::audioMasterVersion) return 2400;
  std::lock_guard<std::mutex> guard(gCallsMutex);
  if (opcode == vst::audioMasterAutomate || opcode == vst::audioMasterBeginEdit || opcode == vst::audioMasterEndEdit) {
    gCalls.push_back({opcode, index, opt});
  }
  return 0;
}

IGraphicsHeadless* gLastEditor = nullptr;
IKnobMultiControl* gCutoffKnob = nullptr;

EditorView* HeadlessEditor(Tesvar& plug) {
  auto* graphics = new IGraphicsHeadless(&plug, 1032, 588);
  graphics->AddControl(new IPanelControl(&plug, IRect(0, 0, 1032, 588), kColorBlack));
  static LICE_MemBitmap strip(20, 20 * 16);
  IBitmap bitmap{&strip, 20, 20 * 16, 16};
  gCutoffKnob = new IKnobMultiControl(&plug, 100, 100, kVcfCutoff, bitmap);
  graphics->AddControl(gCutoffKnob);
  gLastEditor = graphics;
  return graphics;
}

int gParent = 0;  // any non-null pointer serves as the headless editor's parent

TEST(EditorAdapterTest, AProductWithoutAFactoryHasNoEditorAndRefusesTheEditorOpcodes) {
  Tesvar plug(nullptr);
  EXPECT_EQ(plug.Effect()->flags, 4408);
  vst::ERect* rect = nullptr;
  EXPECT_EQ(plug.Dispatch(vst::effEditGetRect, 0, 0, &rect, 0), 0);
  EXPECT_EQ(plug.Dispatch(vst::effEditOpen, 0, 0, &gParent, 0), 0);
  EXPECT_EQ(plug.Dispatch(vst::effEditClose, 0, 0, nullptr, 0), 0);
  EXPECT_EQ(plug.Dispatch(vst::effEditIdle, 0, 0, nullptr, 0), 0);
}

TEST(EditorAdapterTest, TheAttachedEditorReportsItsFlagRectangleAndOpensAndCloses) {
  Tesvar plug(RecordingHost, HeadlessEditor);
  EXPECT_EQ(plug.Effect()->flags, 4409);
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plug.Dispatch(vst::effEditGetRect, 0, 0, &rect, 0), 1);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 588);
  EXPECT_EQ(rect->right, 1032);
  EXPECT_EQ(plug.Dispatch(vst::effEditGetRect, 0, 0, nullptr, 0), 0);
  EXPECT_EQ(plug.Dispatch(vst::effEditOpen, 0, 0, nullptr, 0), 0);  // no parent window
  EXPECT_FALSE(gLastEditor->IsWindowOpen());
  EXPECT_EQ(plug.Dispatch(vst::effEditOpen, 0, 0, &gParent, 0), 1);
  EXPECT_TRUE(gLastEditor->IsWindowOpen());
  EXPECT_EQ(plug.Dispatch(vst::effEditIdle, 0, 0, nullptr, 0), 0);
  EXPECT_EQ(plug.Dispatch(vst::effEditClose, 0, 0, nullptr, 0), 1);
  EXPECT_FALSE(gLastEditor->IsWindowOpen());
  EXPECT_EQ(plug.Dispatch(vst::effEditClose, 0, 0, nullptr, 0), 1);  // closing twice is harmless
}

TEST(EditorAdapterTest, AKnobDragIsOneGestureOfAutomationAndItsDefaultIsTheValueAtAttachment) {
  Tesvar plug(RecordingHost, HeadlessEditor);
  IGraphicsHeadless& g = *gLastEditor;
  IKnobMultiControl* knob = gCutoffKnob;
  // Attached before the startup bank: the first value is the declared one.
  const double declared = plug.GetParam(kVcfCutoff)->ToNormalised(plug.GetParam(kVcfCutoff)->Default());
  EXPECT_DOUBLE_EQ(knob->DefaultValue(), declared);
  ASSERT_EQ(plug.Dispatch(vst::effEditOpen, 0, 0, &gParent, 0), 1);
  g.Tick();
  {
    std::lock_guard<std::mutex> guard(gCallsMutex);
    gCalls.clear();
  }
  const IMouseMod left{true, false, false, false};
  g.OnButtonPress(105, 110, left, false);
  g.OnPointerMove(105, 105, left);
  g.OnPointerMove(105, 100, left);
  g.OnButtonRelease(105, 100, left);
  std::vector<HostCall> calls;
  {
    std::lock_guard<std::mutex> guard(gCallsMutex);
    calls = gCalls;
  }
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].opcode, vst::audioMasterBeginEdit);
  EXPECT_EQ(calls[1].opcode, vst::audioMasterAutomate);
  EXPECT_EQ(calls[2].opcode, vst::audioMasterAutomate);
  EXPECT_EQ(calls[3].opcode, vst::audioMasterEndEdit);
  for (const HostCall& call : calls) EXPECT_EQ(call.index, kVcfCutoff);
  EXPECT_GT(calls[2].value, calls[1].value);
  EXPECT_FLOAT_EQ(plug.HostGetParameter(kVcfCutoff), calls[2].value);
}

TEST(EditorAdapterTest, AudioThreadAutomationReachesTheKnobOnlyThroughTheEditorsTimer) {
  Tesvar plug(RecordingHost, HeadlessEditor);
  IGraphicsHeadless& g = *gLastEditor;
  ASSERT_EQ(plug.Dispatch(vst::effEditOpen, 0, 0, &gParent, 0), 1);
  plug.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  plug.Dispatch(vst::effSetBlockSize, 0, 256, nullptr, 0);
  plug.Dispatch(vst::effMainsChanged, 0, 1, nullptr, 0);
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    std::vector<float> left(256);
    std::vector<float> right(256);
    float* outputs[2] = {left.data(), right.data()};
    float* inputs[1] = {left.data()};
    float v = 0.0f;
    while (!stop.load()) {
      plug.Effect()->setParameter(plug.Effect(), kVcfCutoff, v);
      plug.Effect()->processReplacing(plug.Effect(), inputs, outputs, 256);
      v = v >= 1.0f ? 0.0f : v + 0.0625f;
      ++blocks;
    }
  });
  const IMouseMod left{true, false, false, false};
  std::thread otherUi([&] {
    // A host that calls idle and close from a thread other than the editor's.
    for (int i = 0; i < 50; ++i) plug.Dispatch(vst::effEditIdle, 0, 0, nullptr, 0);
  });
  for (int tick = 0; tick < 300; ++tick) {
    std::lock_guard<std::recursive_mutex> guard(g.EditorLock());
    g.OnTimer();
    g.OnButtonPress(105, 110, left, false);
    g.OnPointerMove(105, 100, left);
    g.OnButtonRelease(105, 100, left);
  }
  otherUi.join();
  while (blocks.load() < 20) std::this_thread::yield();
  stop = true;
  audio.join();
  g.Tick();
  EXPECT_FLOAT_EQ(static_cast<float>(gCutoffKnob->Value()), plug.HostGetParameter(kVcfCutoff));
  std::thread closer([&] { EXPECT_EQ(plug.Dispatch(vst::effEditClose, 0, 0, nullptr, 0), 1); });
  closer.join();
  EXPECT_FALSE(g.IsWindowOpen());
}

}  // namespace
