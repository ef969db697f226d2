// One drag step on a knob of the panel in a headless editor: the pointer moves one pixel and
// the editor's timer tick paints what changed. Reports the time per step and the pixels
// painted per step (the knob's 40 x 40 when only the knob is repainted).
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/PanelLayout.h"
#include "editor/framework/IGraphicsHeadless.h"
#include "engine/ParameterTable.h"

namespace {

EditorView* HeadlessPanel(Tesvar& plug) {
  return panel::AttachPanel(new IGraphicsHeadless(&plug, 1032, 588), plug, nullptr);
}

void DragStep(benchmark::State& state, int param, bool altView) {
  auto plug = std::make_unique<Tesvar>(nullptr, HeadlessPanel);
  auto& g = *dynamic_cast<IGraphicsHeadless*>(plug->Editor());
  static int parent = 0;
  g.Open(&parent);
  if (altView) plug->GetPanel().RunCommand(panel::kViewSwitch, false);
  g.Tick(30);
  auto& layout = *dynamic_cast<panel::PanelLayout*>(plug->GetPanel().View());
  const IRect knob = layout.Find(altView ? param + panel::kAltViewKeyOffset : param)->Rect();
  IMouseMod left;
  left.left = true;
  const int x = knob.L + knob.W() / 2;
  const int y = knob.T + knob.H() / 2;
  g.OnButtonPress(x, y, left, false);
  g.Tick(30);
  g.ClearPresented();
  int offset = 0;
  long long steps = 0;
  for (auto _ : state) {
    // Up and down across 20 pixels, so the value keeps changing and never pins at an end.
    offset = (steps / 20) % 2 == 0 ? offset - 1 : offset + 1;
    g.OnPointerMove(x, y + offset, left);
    g.Tick();
    ++steps;
  }
  g.OnButtonRelease(x, y + offset, left);
  state.counters["pixels_per_step"] = static_cast<double>(g.PresentedArea()) / static_cast<double>(steps);
  state.counters["paints_per_step"] = static_cast<double>(g.Presented().size()) / static_cast<double>(steps);
}

void BM_MainViewKnobDragStep(benchmark::State& state) { DragStep(state, kTune, false); }
void BM_AltViewKnobDragStep(benchmark::State& state) { DragStep(state, kVcfCutoff, true); }
BENCHMARK(BM_MainViewKnobDragStep);
BENCHMARK(BM_AltViewKnobDragStep);

}  // namespace

BENCHMARK_MAIN();
