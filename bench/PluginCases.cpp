// Preparing and timing the plug-in benchmark's cases.
#include "bench/PluginCases.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "tools/AllocationCounter.h"

namespace bench {
namespace {

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void Hold(PluginHost& host, int notes, int lowest) {
  std::vector<MidiMessage> on;
  for (int n = 0; n < notes; ++n) on.push_back({0, 0x90, static_cast<std::uint8_t>(lowest + n), 100});
  if (!on.empty()) host.SendMidi(on);
}

}  // namespace

double Case::Median() const {
  std::vector<double> v = nsPerSample;
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

int AvailablePaths() { return __builtin_cpu_supports("avx512f") ? 4 : __builtin_cpu_supports("avx2") ? 3 : 2; }

std::unique_ptr<Case> Prepare(const std::string& library, int path, int notes, int effect, int block) {
  auto c = std::make_unique<Case>();
  c->notes = notes;
  c->effect = effect;
  c->block = block;
  c->path = path;
  c->host = std::make_unique<PluginHost>();
  // The path is read when an instance is made.
  if (path >= 0) setenv("TESVAR_VOICE_PATH", kPaths[path], 1);
  const bool loaded = c->host->Load(library);
  unsetenv("TESVAR_VOICE_PATH");
  if (!loaded) {
    std::fprintf(stderr, "%s\n", c->host->Error().c_str());
    return nullptr;
  }
  c->host->Start(kRate, block);
  if (path != kOtherInstrument) {
    c->host->SetParameter(5, 0.0f);            // Poly
    c->host->SetParameter(6, 1.0f);            // Voices 7: 64 notes
    c->host->SetParameter(28, 1.0f);           // EG2 sustain full: notes keep sounding
    c->host->SetParameter(34, effect / 3.0f);  // Off, Chorus, Phaser, Ensemble
  } else {
    const vst::AEffect* e = c->host->Effect();
    for (int p = 0; p < e->numParams; ++p) {
      const std::string name = c->host->Text(vst::effGetParamName, p, 64);
      if (name == "amp_sustain") c->host->SetParameter(p, 1.0f);
      if (name == "reverb_wet" || name == "distortion_crunch") c->host->SetParameter(p, 0.0f);
    }
  }
  Hold(*c->host, notes, 36);
  c->left.assign(block, 0.0f);
  c->right.assign(block, 0.0f);
  c->silence.assign(block, 0.0f);
  for (int i = 0; i < static_cast<int>(kRate * 0.5) / block; ++i) c->host->ProcessReplacing(c->left, c->right, block);
  // The host records every request the plug-in makes: room for them, so that the count of
  // allocations is the plug-in's own.
  c->host->requests.reserve(1 << 14);
  return c;
}

long Run(Case& c, double seconds) {
  float* inputs[2] = {c.silence.data(), c.silence.data()};
  float* outputs[2] = {c.left.data(), c.right.data()};
  vst::AEffect* e = c.host->Effect();
  const int blocks = std::max(1, static_cast<int>(seconds * kRate / c.block));
  // The host's record of requests keeps its room: a build that asks the host something on
  // every block (as older ones did) must not count the record's growth as its own.
  c.host->requests.clear();
  allocation_counter::Start();
  const double start = CpuSeconds();
  for (int b = 0; b < blocks; ++b) {
    e->processReplacing(e, inputs, outputs, c.block);
    benchmark::DoNotOptimize(c.left.data());
  }
  const double cpu = CpuSeconds() - start;
  const long allocations = allocation_counter::Stop();
  c.nsPerSample.push_back(cpu * 1e9 / (static_cast<double>(blocks) * c.block));
  c.allocations += allocations;
  return allocations;
}

long Rounds(const std::vector<Case*>& cases, int rounds, double seconds) {
  long allocations = 0;
  for (int r = 0; r < rounds; ++r) {
    for (Case* c : cases) {
      const long made = Run(*c, seconds);
      if (c->path != kOtherInstrument) allocations += made;
    }
  }
  return allocations;
}

}  // namespace bench
