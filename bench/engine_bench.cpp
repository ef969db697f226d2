// Cost per sample of the engine's blocks: oscillator, ladder filter, envelope, one voice,
// bucket-brigade delay, and the wavetable build. Each iteration renders one block of samples;
// "ns/sample" is the time per rendered sample.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <span>
#include <vector>

#include "engine/BrigadeDelay.h"
#include "engine/EngineSettings.h"
#include "engine/Envelope.h"
#include "engine/LadderFilter.h"
#include "engine/Modulation.h"
#include "engine/Oscillator.h"
#include "engine/Voice.h"
#include "engine/Wavetables.h"

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

// One sounding voice with both oscillators and a resonant 24 dB filter under EG1, and its
// control update once per tick as the render loop does.
void BM_Voice(benchmark::State& state) {
  std::vector<engine::Voice> voices(1);
  voices[0].SetSampleRate(44100.0);
  engine::EngineSettings settings;
  auto set = [&](int index, double v, double e) { settings.Apply(index, v, e, std::span<engine::Voice>(voices)); };
  set(9, 2, 1.0);        // PWM
  set(13, 1, 0.5);       // DCO2 stacked squares
  set(15, 3.0, 0.4);     // detune
  set(16, 40.0, 40.0 / 63);
  set(17, 5.0, 5.0 / 7);
  set(19, 3.0, 10.0 / 14);
  set(20, 1, 1.0);
  set(21, 2.0, 2.0 / 15);
  set(22, 8.0, 8.0 / 15);
  set(23, 10.0, 10.0 / 15);
  set(28, 15.0, 1.0);
  engine::Modulation modulation;
  voices[0].NoteOn(57, 57 * 128, 0, 0, modulation.Tick(settings, 0.0, 0.0));
  std::vector<double> left(kBlock), right(kBlock);
  for (auto _ : state) {
    for (int start = 0; start < kBlock; start += kSamplesPerTick) {
      voices[0].UpdateControl(modulation.Tick(settings, 0.0, 0.0));
      const int n = std::min(kSamplesPerTick, kBlock - start);
      voices[0].RenderAdd(left.data() + start, right.data() + start, n, 0.7, 0.7);
    }
    benchmark::DoNotOptimize(left.data());
    benchmark::ClobberMemory();
  }
  CountSamples(state);
}
BENCHMARK(BM_Voice);

// Four voices: one after the other per tick (arg 0), or sample by sample side by side (1),
// which lets the processor overlap their recursions.
void BM_FourVoices(benchmark::State& state) {
  std::vector<engine::Voice> voices(4);
  engine::EngineSettings settings;
  for (auto& v : voices) v.SetSampleRate(44100.0);
  settings.Apply(17, 5.0, 5.0 / 7, voices);
  settings.Apply(20, 1, 1.0, voices);
  settings.Apply(28, 15.0, 1.0, voices);
  settings.Apply(16, 40.0, 40.0 / 63, voices);
  engine::Modulation modulation;
  for (int i = 0; i < 4; ++i) voices[i].NoteOn(50 + 3 * i, (50 + 3 * i) * 128, i, 0, modulation.Tick(settings, 0, 0));
  std::vector<double> left(kBlock), right(kBlock);
  const bool sideBySide = state.range(0) != 0;
  for (auto _ : state) {
    for (int start = 0; start < kBlock; start += kSamplesPerTick) {
      const engine::ModulationValues& m = modulation.Tick(settings, 0.0, 0.0);
      for (auto& v : voices) v.UpdateControl(m);
      const int n = std::min(kSamplesPerTick, kBlock - start);
      if (sideBySide) {
        for (int i = start; i < start + n; ++i) {
          const double a = voices[0].Render(), b = voices[1].Render();
          const double c = voices[2].Render(), d = voices[3].Render();
          left[i] += (a + b) + (c + d);
        }
      } else {
        for (auto& v : voices) v.RenderAdd(left.data() + start, right.data() + start, n, 0.7, 0.7);
      }
    }
    benchmark::DoNotOptimize(left.data());
    benchmark::ClobberMemory();
  }
  state.counters["per_voice_sample"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBlock * 4,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FourVoices)->Arg(0)->Arg(1)->ArgName("side_by_side");

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
