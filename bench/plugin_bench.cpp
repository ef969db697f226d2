// The whole plug-in through its entry point, as a host drives it: held notes in Poly mode
// with "Voices" at 7, 44100 Hz. Prints, for 0, 1, 8, 32 and 64 notes, each effect and
// blocks of 32, 256 and 1024 frames, the real-time factor (audio seconds per CPU second)
// and the CPU nanoseconds per sounding voice and sample on the scalar path and on the
// SIMD paths side by side; then the cost per voice of another VST 2.4 synthesizer in the
// same run (Debian's amsynth by default) against ours. Cases run in interleaved rounds so
// that a busy machine slows them alike; each figure is the median of its rounds.
//
// --baseline runs another build of this plug-in (an older one, say) beside this one in the
// same rounds, for a before-and-after ratio on a machine whose load changes. --profile runs
// one case alone (on any build of this plug-in), for a profiler to watch.
//
//   tesvar_plugin_bench [--rounds N] [--seconds S] [--other PLUGIN | --no-other]
//                       [--baseline PLUGIN]
//   tesvar_plugin_bench --profile PLUGIN NOTES EFFECT BLOCK [--seconds S]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "tools/AllocationCounter.h"
#include "tools/PluginHost.h"

namespace {

constexpr double kRate = 44100.0;
const char* const kEffects[] = {"off", "chorus", "phaser", "ensemble"};
const char* const kPaths[] = {"scalar", "sse2", "avx2"};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Case {
  std::unique_ptr<PluginHost> host;
  int notes = 0;
  int effect = 0;
  int block = 256;
  int path = 0;  // index into kPaths; -1: the other plug-in; -2: a baseline build of ours
  std::vector<double> nsPerSample;  // one per round
  std::vector<float> left, right, silence;

  double Median() const {
    std::vector<double> v = nsPerSample;
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  }
  double RealTime() const { return 1e9 / (Median() * kRate); }
  double PerVoice() const { return Median() / std::max(notes, 1); }
};

void SetPath(const char* name) { setenv("TESVAR_VOICE_PATH", name, 1); }

void Hold(PluginHost& host, int notes, int lowest) {
  std::vector<MidiMessage> on;
  for (int n = 0; n < notes; ++n) on.push_back({0, 0x90, static_cast<std::uint8_t>(lowest + n), 100});
  if (!on.empty()) host.SendMidi(on);
}

std::unique_ptr<Case> Prepare(const char* library, int path, int notes, int effect, int block) {
  auto c = std::make_unique<Case>();
  c->notes = notes;
  c->effect = effect;
  c->block = block;
  c->path = path;
  c->host = std::make_unique<PluginHost>();
  if (path >= 0) SetPath(kPaths[path]);
  if (!c->host->Load(library)) {
    std::fprintf(stderr, "%s\n", c->host->Error().c_str());
    return nullptr;
  }
  c->host->Start(kRate, block);
  if (path >= 0 || path == -2) {
    c->host->SetParameter(5, 0.0f);                // Poly
    c->host->SetParameter(6, 1.0f);                // Voices 7: 64 notes
    c->host->SetParameter(28, 1.0f);               // EG2 sustain full: notes keep sounding
    c->host->SetParameter(34, effect / 3.0f);      // Off, Chorus, Phaser, Ensemble
  } else {
    // The other instrument: its own first program with the amplifier envelope held open
    // and, where it has them under these names, its reverb and distortion off (ours are
    // off too).
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
  // allocations below is the plug-in's own.
  c->host->requests.reserve(1 << 14);
  return c;
}

// One round of a case: `seconds` of audio through the process entry, timed.
long Run(Case& c, double seconds) {
  float* inputs[2] = {c.silence.data(), c.silence.data()};
  float* outputs[2] = {c.left.data(), c.right.data()};
  vst::AEffect* e = c.host->Effect();
  const int blocks = std::max(1, static_cast<int>(seconds * kRate / c.block));
  allocation_counter::Start();
  const double start = CpuSeconds();
  for (int b = 0; b < blocks; ++b) {
    e->processReplacing(e, inputs, outputs, c.block);
    benchmark::DoNotOptimize(c.left.data());
  }
  const double cpu = CpuSeconds() - start;
  const long allocations = allocation_counter::Stop();
  c.nsPerSample.push_back(cpu * 1e9 / (static_cast<double>(blocks) * c.block));
  return allocations;
}

void Rounds(std::vector<std::unique_ptr<Case>>& cases, int rounds, double seconds, long& allocations) {
  for (int r = 0; r < rounds; ++r) {
    for (auto& c : cases) allocations += Run(*c, seconds);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 5;
  double seconds = 0.25;
  std::string other = "/usr/lib/vst/amsynth_vst.so";
  std::string baseline;
  std::string profile;
  int profileNotes = 8, profileEffect = 0, profileBlock = 256;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) seconds = std::atof(argv[++i]);
    else if (std::strcmp(argv[i], "--other") == 0 && i + 1 < argc) other = argv[++i];
    else if (std::strcmp(argv[i], "--no-other") == 0) other.clear();
    else if (std::strcmp(argv[i], "--baseline") == 0 && i + 1 < argc) baseline = argv[++i];
    else if (std::strcmp(argv[i], "--profile") == 0 && i + 4 < argc) {
      profile = argv[++i];
      profileNotes = std::clamp(std::atoi(argv[++i]), 0, 64);
      profileEffect = std::clamp(std::atoi(argv[++i]), 0, 3);
      profileBlock = std::clamp(std::atoi(argv[++i]), 1, 4096);
    } else {
      std::fprintf(stderr, "usage: tesvar_plugin_bench [--rounds N] [--seconds S] [--other PLUGIN | --no-other] "
                           "[--baseline PLUGIN]\n       tesvar_plugin_bench --profile PLUGIN NOTES EFFECT BLOCK "
                           "[--seconds S]\n");
      return 2;
    }
  }
  if (!profile.empty()) {
    // The path is the plug-in's own choice (TESVAR_VOICE_PATH, when set, picks another).
    auto c = Prepare(profile.c_str(), -2, profileNotes, profileEffect, profileBlock);
    if (!c) return 1;
    Run(*c, seconds);
    std::printf("%s: %d notes, %s, block %d: rt %.1f, %.2f ns/v\n", profile.c_str(), c->notes, kEffects[c->effect],
                c->block, c->RealTime(), c->PerVoice());
    return 0;
  }
  // The paths this processor has: the plug-in falls back below what it lacks.
  int paths = 3;
  if (!__builtin_cpu_supports("avx2")) paths = 2;

  std::vector<std::unique_ptr<Case>> cases;
  for (int block : {32, 256, 1024}) {
    for (int effect = 0; effect < 4; ++effect) {
      for (int notes : {0, 1, 8, 32, 64}) {
        for (int path = 0; path < paths; ++path) {
          auto c = Prepare(TESVAR_PLUGIN_PATH, path, notes, effect, block);
          if (!c) return 1;
          cases.push_back(std::move(c));
        }
      }
    }
  }
  unsetenv("TESVAR_VOICE_PATH");
  long allocations = 0;
  Rounds(cases, rounds, seconds, allocations);

  std::printf("Tesvar, 44100 Hz, Poly, %d rounds of %.2f s each, medians. rt = audio seconds per CPU second,\n"
              "ns/v = CPU ns per sounding voice and sample (per sample with no note).\n\n", rounds, seconds);
  std::printf("%5s %-9s %5s", "block", "effect", "notes");
  for (int p = 0; p < paths; ++p) std::printf(" | %6s rt %8s ns/v", kPaths[p], "");
  std::printf(" | speed-up\n");
  const Case* best256[4][5] = {};
  const Case* best32[4][5] = {};
  const Case* one[3][4] = {};
  std::size_t k = 0;
  for (int block : {32, 256, 1024}) {
    for (int effect = 0; effect < 4; ++effect) {
      for (int n = 0; n < 5; ++n) {
        std::printf("%5d %-9s %5d", block, kEffects[effect], cases[k]->notes);
        const Case& scalar = *cases[k];
        const Case& best = *cases[k + paths - 1];
        for (int p = 0; p < paths; ++p, ++k) std::printf(" | %9.1f %13.2f", cases[k]->RealTime(), cases[k]->PerVoice());
        std::printf(" | %7.2fx\n", scalar.Median() / best.Median());
        if (block == 256) best256[effect][n] = &best;
        if (block == 32) best32[effect][n] = &best;
        if (best.notes == 1) one[block == 32 ? 0 : block == 256 ? 1 : 2][effect] = &best;
      }
    }
  }
  std::printf("\nSIMD path (%s), block 32 against block 256, cost per sample:", kPaths[paths - 1]);
  for (int effect = 0; effect < 4; ++effect) {
    std::printf("\n  %-9s", kEffects[effect]);
    for (int n = 1; n < 5; ++n) {
      std::printf("  %2d notes %+5.1f %%", best256[effect][n]->notes,
                  100.0 * (best32[effect][n]->Median() / best256[effect][n]->Median() - 1.0));
    }
  }
  std::printf("\nSIMD path, block 256, no note and effects off: %.1f ns per sample, %.2f of one sounding voice's cost\n",
              best256[0][0]->Median(), best256[0][0]->Median() / one[1][0]->Median());
  std::printf("Allocations inside process calls: %ld\n", allocations);

  if (!baseline.empty()) {
    // The same set-ups on the baseline build and on this one, rounds interleaved.
    std::vector<std::unique_ptr<Case>> pairs;
    const std::array<int, 3> setups[] = {{64, 3, 256}, {8, 0, 256}, {64, 0, 32}};  // notes, effect, block
    for (const std::array<int, 3>& setup : setups) {
      auto before = Prepare(baseline.c_str(), -2, setup[0], setup[1], setup[2]);
      if (!before) return 1;
      pairs.push_back(std::move(before));
      pairs.push_back(Prepare(TESVAR_PLUGIN_PATH, paths - 1, setup[0], setup[1], setup[2]));
    }
    unsetenv("TESVAR_VOICE_PATH");
    long ignored = 0;
    Rounds(pairs, rounds, seconds, ignored);
    std::printf("\n%s (before) against this build (%s), same run:\n", baseline.c_str(), kPaths[paths - 1]);
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
      const Case& before = *pairs[i];
      const Case& now = *pairs[i + 1];
      std::printf("  %2d notes, %-8s block %4d: before rt %6.1f (%6.2f ns/v), now rt %6.1f (%6.2f ns/v): %.2f times faster\n",
                  now.notes, kEffects[now.effect], now.block, before.RealTime(), before.PerVoice(), now.RealTime(),
                  now.PerVoice(), before.Median() / now.Median());
    }
  }

  if (!other.empty()) {
    // 8 and 32 held notes, block 256, effects off, rounds interleaved with ours.
    std::vector<std::unique_ptr<Case>> duel;
    for (int notes : {8, 32}) {
      auto theirs = Prepare(other.c_str(), -1, notes, 0, 256);
      if (!theirs) {
        std::printf("\n%s: not loadable, comparison skipped\n", other.c_str());
        return 0;
      }
      duel.push_back(std::move(theirs));
      duel.push_back(Prepare(TESVAR_PLUGIN_PATH, paths - 1, notes, 0, 256));
    }
    unsetenv("TESVAR_VOICE_PATH");
    long ignored = 0;
    Rounds(duel, rounds, seconds, ignored);
    std::printf("\n%s against Tesvar (%s), block 256, same run:\n", other.c_str(), kPaths[paths - 1]);
    for (std::size_t i = 0; i < duel.size(); i += 2) {
      const Case& theirs = *duel[i];
      const Case& ours = *duel[i + 1];
      std::printf("  %2d notes: theirs %7.2f ns/v (rt %6.1f), ours %6.2f ns/v (rt %6.1f): theirs costs %.2f times ours per voice\n",
                  ours.notes, theirs.PerVoice(), theirs.RealTime(), ours.PerVoice(), ours.RealTime(),
                  theirs.PerVoice() / ours.PerVoice());
    }
  }
  return 0;
}
