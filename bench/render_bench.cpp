// Renders held notes through the whole engine (voices, mix, effect, gain) at 44100 Hz in
// blocks of 256 on each voice path and reports the real-time factor and the cost per voice
// and sample.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/RenderLoop.h"

namespace {

using engine::RenderLoop;

constexpr double kRate = 44100.0;
constexpr int kBlock = 256;

// Every note of the chord at offset 0 of the first block.
class HeldNotes : public engine::TickSource {
 public:
  explicit HeldNotes(int count) : count_(count) {}
  void DispatchQueuedMidi(int tickStart, int, engine::VoiceEventQueue& events) override {
    for (; sent_ < count_; ++sent_) {
      if (!events.Push(-tickStart, 0x90, static_cast<std::uint8_t>(36 + sent_), 100)) return;
    }
  }
  void EndBlock(int) override {}

 private:
  int count_;
  int sent_ = 0;
};

// A patch that keeps every part busy: both oscillators, PWM, a resonant 24 dB filter with
// envelope and MG sweep, full sustain.
void ApplyPatch(RenderLoop& loop, int effectsMode) {
  auto set = [&](int index, double v, double min, double max) {
    loop.ApplyParameter(index, v, (v - min) / (max - min));
  };
  set(0, 0.5, 0, 1);
  set(5, 0, 0, 2);    // Poly
  set(6, 7, 0, 7);    // 64 voices
  set(7, 0.5, 0, 1);  // spread
  set(9, 2, 0, 2);    // DCO1 PWM
  set(10, 4, 0, 7);
  set(11, 5, 0, 15);
  set(13, 1, 0, 2);  // DCO2 on
  set(15, 2, 1, 6);
  set(16, 40, 0, 63);
  set(17, 4, 0, 7);
  set(18, 1, 0, 1);
  set(19, 3, -7, 7);
  set(20, 1, 0, 1);  // 24 dB
  set(21, 2, 0, 15);
  set(22, 9, 0, 15);
  set(23, 8, 0, 15);
  set(24, 6, 0, 15);
  set(26, 1, 0, 15);
  set(28, 15, 0, 15);
  set(29, 6, 0, 15);
  set(30, 8, 0, 15);
  set(32, 2, 0, 7);
  set(33, 3, 0, 7);
  set(34, effectsMode, 0, 3);
}

void BM_Render(benchmark::State& state) {
  const int notes = static_cast<int>(state.range(0));
  const int effectsMode = static_cast<int>(state.range(1));
  const auto path = static_cast<engine::VoicePath>(state.range(2));
  if (engine::AvailableVoicePath(path) != path) {
    state.SkipWithError("the processor lacks this path");
    return;
  }
  auto loop = std::make_unique<RenderLoop>();
  loop->SetVoicePath(path);
  loop->ResetEngine(kRate);
  ApplyPatch(*loop, effectsMode);
  loop->FinishConstruction();
  HeldNotes midi(notes);
  loop->SetTickSource(&midi);
  std::vector<double> left(kBlock), right(kBlock);
  double* outputs[2] = {left.data(), right.data()};
  // Past the attacks, so the measurement sees sustained voices.
  for (int k = 0; k < 200; ++k) loop->RenderBlock(outputs, kBlock);
  for (auto _ : state) {
    loop->RenderBlock(outputs, kBlock);
    benchmark::DoNotOptimize(left.data());
    benchmark::ClobberMemory();
  }
  int sounding = 0;
  for (int j = 0; j < engine::kVoiceCount; ++j) sounding += loop->GetVoice(j).IsActive() ? 1 : 0;
  const double samples = static_cast<double>(state.iterations()) * kBlock;
  state.counters["voices"] = sounding;
  state.counters["realtime_x"] = benchmark::Counter(samples / kRate, benchmark::Counter::kIsRate);
  state.counters["s_per_voice_sample"] = benchmark::Counter(samples * (sounding > 0 ? sounding : 1),
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  loop->SetTickSource(nullptr);
  state.SetLabel(engine::VoicePathName(path));
}

// Notes 0 (silence), 1, 8, 32, 64; effects off, chorus, phaser, ensemble; paths scalar,
// SSE2, AVX2.
BENCHMARK(BM_Render)
    ->ArgNames({"notes", "effect", "path"})
    ->ArgsProduct({{0, 1, 8, 32, 64}, {0, 1, 2, 3}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
