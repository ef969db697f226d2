// The main view as the editor paints it in the snapshot tool: the whole window with every
// control, the displays, the program name and the texts of all 26 faders.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/Tesvar.h"
#include "tools/Snapshot.h"

namespace {

void BM_MainViewWithFaders(benchmark::State& state) {
  auto plug = snapshot::MakeInstance();
  snapshot::Options options;
  options.showParameters = 1;
  std::string error;
  snapshot::Apply(*plug, options, &error);
  LICE_SysBitmap window(1032, 588);
  for (auto _ : state) {
    snapshot::Draw(*plug, options, &window);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MainViewWithFaders)->Unit(benchmark::kMillisecond);

}  // namespace
