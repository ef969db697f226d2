// Cost per sample of the engine's blocks, one at a time: oscillator, ladder filter,
// envelope, bucket-brigade delay, and the wavetable build. Whole voices, side by side on
// each path, are measured by the render benchmark. Each iteration renders one block of samples;
// "ns/sample" is the time per rendered sample.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "engine/dsp/BrigadeDelay.h"
#include "tests/engine/SingleBlocks.h"
#include "engine/dsp/Wavetables.h"

namespace {

constexpr int kBlock = 256;
constexpr int kSamplesPerTick = 44;

// The first Wavetables::Get() of the process builds the 1.8 MB store: time that single call.
// Registered first, so no other benchmark has built it yet.
void BM_WavetableBuild(benchmark::State& state) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(&engine::Wavetables::Get());
    state.counters["build_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
}
BENCHMARK(BM_WavetableBuild)->Iterations(1);

void CountSamples(benchmark::State& state) {
  const double samples = static_cast<double>(state.iterations()) * kBlock;
  state.SetItemsProcessed(static_cast<int64_t>(samples));
  // Seconds per sample, printed with an SI prefix ("21.3n" is 21.3 ns).
  state.counters["per_sample"] = benchmark::Counter(samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Oscillator(benchmark::State& state) {
  engine::Oscillator osc;
  osc.SetWaveCode(static_cast<int>(state.range(0)));
  osc.SetPitch(60 * 128, state.range(0) == engine::kWaveSquare ? 0.5 : 1.0);
  double sink = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) sink += osc.Render();
    benchmark::DoNotOptimize(sink);
  }
  CountSamples(state);
}
BENCHMARK(BM_Oscillator)->Arg(engine::kWaveSaw)->Arg(engine::kWaveSquare)->ArgName("wave");

void BM_LadderFilter(benchmark::State& state) {
  engine::LadderFilter f;
  f.SetSampleRate(44100.0);
  f.SetCutoffTarget(9000.0);
  f.SetResonance(0.8);
  f.Set24dB(state.range(0) != 0);
  f.PresetCutoff();
  double x = 0.0, sink = 0.0;
  int tick = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      x = x > 1.0 ? -1.0 : x + 0.01;
      // A cutoff that moves once per tick, as with an envelope on it.
      sink += f.Process(x, (tick++ / kSamplesPerTick) % 64);
    }
    benchmark::DoNotOptimize(sink);
  }
  CountSamples(state);
}
BENCHMARK(BM_LadderFilter)->Arg(0)->Arg(1)->ArgName("24dB");

void BM_Envelope(benchmark::State& state) {
  engine::Envelope env;
  env.SetSampleRate(44100.0);
  env.SetAttack(0.5);
  env.SetDecay(0.5);
  env.SetSustain(0.5);
  env.SetRelease(0.5);
  env.GateOn();
  double sink = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) sink += env.Process();
    if (env.GetState() == engine::Envelope::State::kDecay) env.GateOn();
    benchmark::DoNotOptimize(sink);
  }
  CountSamples(state);
}
BENCHMARK(BM_Envelope);

void BM_BrigadeDelay(benchmark::State& state) {
  engine::BrigadeDelay d;
  d.Init(44100.0, 0.04);
  d.SetRate(static_cast<double>(state.range(0)) / 100.0);
  double x = 0.0, sink = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      x = x > 1.0 ? -1.0 : x + 0.013;
      double l = x, r = -x;
      d.Process(l, r);
      sink += l + r;
    }
    benchmark::DoNotOptimize(sink);
  }
  CountSamples(state);
}
// Value 50: the resting chorus and ensemble rate (0.5625); 0: the slowest, eight clocks per sample.
BENCHMARK(BM_BrigadeDelay)->Arg(50)->Arg(0)->ArgName("rate%");

}  // namespace

BENCHMARK_MAIN();
