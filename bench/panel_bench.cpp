// The panel in a headless editor. One drag step on a knob: the pointer moves one pixel and the
// editor's timer tick paints what changed; reports the time per step and the pixels painted
// per step (the knob's 40 x 40 when only the knob is repainted). An idle timer tick of an open
// editor at 100 % and 200 %: its time as a share of one core at 25 ticks a second. The
// memory of an instance with the editor closed and open at 100 % and 200 %.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <ctime>
#include <memory>

#include "editor/PanelLayout.h"
#include "editor/framework/IGraphicsHeadless.h"
#include "engine/ParameterTable.h"

namespace {

EditorView* HeadlessPanel(Tesvar& plug) {
  return panel::AttachPanel(new IGraphicsHeadless(&plug, 1032, 588), plug, nullptr);
}

// Heap bytes in use by the whole process (glibc).
double HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

// The heap an instance takes with its editor closed, and what opening the editor adds at
// 100 % and at 200 % (its back buffer, and the first time in the process the bitmaps drawn
// for that scale, which every later instance shares). Figures in MB; one pass, registered
// first so that no other benchmark has filled the process's bitmap cache before it.
void BM_EditorMemory(benchmark::State& state) {
  for (auto _ : state) {
    const double before = HeapBytes();
    auto plug = std::make_unique<Tesvar>(nullptr, HeadlessPanel);
    auto& g = *dynamic_cast<IGraphicsHeadless*>(plug->Editor());
    const double closed = HeapBytes();
    static int parent = 0;
    g.SetUserZoom(100);
    g.Open(&parent);
    g.Tick(2);
    const double open100 = HeapBytes();
    const double cache100 = static_cast<double>(LICE_CachedPngBytes());
    g.Close();
    const double closedAgain = HeapBytes();
    g.SetUserZoom(200);
    g.Open(&parent);
    g.Tick(2);
    const double open200 = HeapBytes();
    const double cache200 = static_cast<double>(LICE_CachedPngBytes());
    g.Close();
    // A second instance opened at 200 % shares the bitmaps: only its buffer is new.
    const double beforeSecond = HeapBytes();
    auto second = std::make_unique<Tesvar>(nullptr, HeadlessPanel);
    auto& g2 = *dynamic_cast<IGraphicsHeadless*>(second->Editor());
    const double secondClosed = HeapBytes();
    g2.SetUserZoom(200);
    g2.Open(&parent);
    g2.Tick(2);
    const double secondOpen = HeapBytes();
    constexpr double kMB = 1024.0 * 1024.0;
    state.counters["first_instance_closed_MB"] = (closed - before) / kMB;
    state.counters["instance_closed_MB"] = (secondClosed - beforeSecond) / kMB;
    state.counters["open100_adds_MB"] = (open100 - closed) / kMB;
    state.counters["closing_frees_MB"] = (open100 - closedAgain) / kMB;
    state.counters["open200_adds_MB"] = (open200 - closedAgain) / kMB;
    state.counters["bitmaps100_MB"] = cache100 / kMB;
    state.counters["bitmaps100_200_MB"] = cache200 / kMB;
    state.counters["second_open200_adds_MB"] = (secondOpen - secondClosed) / kMB;
  }
}
BENCHMARK(BM_EditorMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

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

// A timer tick with nothing to draw, as an open editor runs it 25 times a second while the
// user does nothing: the posted values taken, the panel's repeat and lamps checked, nothing
// painted. cpu_share_percent is the share of one core those 25 ticks take.
void IdleTick(benchmark::State& state, int percent) {
  auto plug = std::make_unique<Tesvar>(nullptr, HeadlessPanel);
  auto& g = *dynamic_cast<IGraphicsHeadless*>(plug->Editor());
  g.SetUserZoom(percent);
  static int parent = 0;
  g.Open(&parent);
  g.Tick(30);
  g.ClearPresented();
  const std::clock_t start = std::clock();
  long long ticks = 0;
  for (auto _ : state) {
    g.Tick();
    ++ticks;
  }
  const double secondsPerTick = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / static_cast<double>(ticks);
  state.counters["cpu_share_percent"] = 100.0 * secondsPerTick * IGraphics::kDefaultFrameRate;
  state.counters["pixels_painted"] = static_cast<double>(g.PresentedArea());
}
void BM_IdleTickAt100(benchmark::State& state) { IdleTick(state, 100); }
void BM_IdleTickAt200(benchmark::State& state) { IdleTick(state, 200); }
BENCHMARK(BM_IdleTickAt100);
BENCHMARK(BM_IdleTickAt200);

}  // namespace

BENCHMARK_MAIN();
