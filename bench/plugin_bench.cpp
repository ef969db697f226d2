// The whole plug-in through its entry point, as a host drives it: held notes with "Voices"
// at 7 in Poly mode, each effect, 44100 Hz, 256-frame blocks. Prints the real-time factor
// (audio seconds per CPU second), ns per sounding voice per sample, and the allocations
// made inside process calls.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <vector>

#include "tools/AllocationCounter.h"
#include "tools/PluginHost.h"

namespace {

constexpr int kBlock = 256;
constexpr double kRate = 44100.0;

std::unique_ptr<PluginHost> Prepare(int notes, int effectsMode) {
  auto host = std::make_unique<PluginHost>();
  if (!host->Load(TESVAR_PLUGIN_PATH)) return nullptr;
  host->Start(kRate, kBlock);
  host->SetParameter(5, 0.0f);                      // Poly
  host->SetParameter(6, 1.0f);                      // Voices 7: 64 notes
  host->SetParameter(28, 1.0f);                     // EG2 sustain full: notes keep sounding
  host->SetParameter(34, effectsMode / 3.0f);       // Off, Chorus, Phaser, Ensemble
  std::vector<MidiMessage> on;
  for (int n = 0; n < notes; ++n) on.push_back({0, 0x90, static_cast<std::uint8_t>(36 + n), 100});
  if (!on.empty()) host->SendMidi(on);
  std::vector<float> l, r;
  for (int i = 0; i < 20; ++i) host->ProcessReplacing(l, r, kBlock);  // past the attack
  host->requests.reserve(1 << 20);
  return host;
}

void BM_Plugin(benchmark::State& state) {
  const int notes = static_cast<int>(state.range(0));
  const int effects = static_cast<int>(state.range(1));
  auto host = Prepare(notes, effects);
  if (!host) {
    state.SkipWithError("cannot load the plug-in");
    return;
  }
  std::vector<float> left(kBlock), right(kBlock), silence(kBlock);
  float* inputs[1] = {silence.data()};
  float* outputs[2] = {left.data(), right.data()};
  vst::AEffect* e = host->Effect();
  allocation_counter::Start();
  const std::clock_t start = std::clock();
  for (auto _ : state) {
    e->processReplacing(e, inputs, outputs, kBlock);
    benchmark::DoNotOptimize(left.data());
  }
  const double cpuSeconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  const long allocations = allocation_counter::Stop();
  const double samples = static_cast<double>(state.iterations()) * kBlock;
  // Audio seconds rendered per CPU second, and CPU nanoseconds per sounding voice and sample.
  state.counters["rt_factor"] = cpuSeconds > 0 ? samples / kRate / cpuSeconds : 0.0;
  state.counters["ns_per_voice_sample"] = cpuSeconds * 1e9 / (samples * std::max(notes, 1));
  state.counters["allocations"] = static_cast<double>(allocations);
  static const char* const kEffects[] = {"off", "chorus", "phaser", "ensemble"};
  state.SetLabel(std::to_string(notes) + " notes, " + kEffects[effects]);
}

BENCHMARK(BM_Plugin)->ArgsProduct({{0, 1, 8, 32, 64}, {0, 1, 2, 3}})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
