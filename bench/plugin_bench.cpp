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
// one case alone (on any build of this plug-in), for a profiler to watch. --sweep prints the
// README's performance table instead (bench/PluginSweep.h), with the baseline's figures
// beside when one is given.
//
//   tesvar_plugin_bench [--rounds N] [--seconds S] [--other PLUGIN | --no-other]
//                       [--baseline PLUGIN] [--sweep]
//   tesvar_plugin_bench --profile PLUGIN NOTES EFFECT BLOCK [--seconds S]
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/PluginCases.h"
#include "bench/PluginSweep.h"

using namespace bench;

namespace {

std::vector<Case*> Pointers(const std::vector<std::unique_ptr<Case>>& cases) {
  std::vector<Case*> out;
  for (const auto& c : cases) out.push_back(c.get());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 5;
  double seconds = 0.25;
  std::string other = "/usr/lib/vst/amsynth_vst.so";
  std::string baseline;
  std::string profile;
  bool sweep = false;
  int profileNotes = 8, profileEffect = 0, profileBlock = 256;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) seconds = std::atof(argv[++i]);
    else if (std::strcmp(argv[i], "--other") == 0 && i + 1 < argc) other = argv[++i];
    else if (std::strcmp(argv[i], "--no-other") == 0) other.clear();
    else if (std::strcmp(argv[i], "--baseline") == 0 && i + 1 < argc) baseline = argv[++i];
    else if (std::strcmp(argv[i], "--sweep") == 0) sweep = true;
    else if (std::strcmp(argv[i], "--profile") == 0 && i + 4 < argc) {
      profile = argv[++i];
      profileNotes = std::clamp(std::atoi(argv[++i]), 0, 64);
      profileEffect = std::clamp(std::atoi(argv[++i]), 0, 3);
      profileBlock = std::clamp(std::atoi(argv[++i]), 1, 4096);
    } else {
      std::fprintf(stderr,
                   "usage: tesvar_plugin_bench [--rounds N] [--seconds S] [--other PLUGIN | --no-other] "
                   "[--baseline PLUGIN] [--sweep]\n       tesvar_plugin_bench --profile PLUGIN NOTES EFFECT BLOCK "
                   "[--seconds S]\n");
      return 2;
    }
  }
  if (!profile.empty()) {
    // The path is the plug-in's own choice (TESVAR_VOICE_PATH, when set, picks another).
    auto c = Prepare(profile, kOwnPath, profileNotes, profileEffect, profileBlock);
    if (!c) return 1;
    Run(*c, seconds);
    std::printf("%s: %d notes, %s, block %d: rt %.1f, %.2f ns/v\n", profile.c_str(), c->notes, kEffects[c->effect],
                c->block, c->RealTime(), c->PerVoice());
    return 0;
  }
  if (sweep) {
    SweepOptions options;
    options.plugin = TESVAR_PLUGIN_PATH;
    options.baseline = baseline;
    options.other = other;
    options.rounds = rounds;
    options.seconds = seconds;
    return Sweep(options);
  }
  const int paths = AvailablePaths();

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
  const long allocations = Rounds(Pointers(cases), rounds, seconds);

  std::printf(
      "Tesvar, 44100 Hz, Poly, %d rounds of %.2f s each, medians. rt = audio seconds per CPU second,\n"
      "ns/v = CPU ns per sounding voice and sample (per sample with no note).\n\n",
      rounds, seconds);
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
  std::printf(
      "\nSIMD path, block 256, no note and effects off: %.1f ns per sample, %.2f of one sounding voice's cost\n",
      best256[0][0]->Median(), best256[0][0]->Median() / one[1][0]->Median());
  std::printf("Allocations inside process calls: %ld\n", allocations);

  if (!baseline.empty()) {
    // The same set-ups on the baseline build and on this one, rounds interleaved.
    std::vector<std::unique_ptr<Case>> pairs;
    const std::array<int, 3> setups[] = {{64, 3, 256}, {8, 0, 256}, {64, 0, 32}};  // notes, effect, block
    for (const std::array<int, 3>& setup : setups) {
      auto before = Prepare(baseline, kOwnPath, setup[0], setup[1], setup[2]);
      if (!before) return 1;
      pairs.push_back(std::move(before));
      pairs.push_back(Prepare(TESVAR_PLUGIN_PATH, paths - 1, setup[0], setup[1], setup[2]));
    }
    Rounds(Pointers(pairs), rounds, seconds);
    std::printf("\n%s (before) against this build (%s), same run:\n", baseline.c_str(), kPaths[paths - 1]);
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
      const Case& before = *pairs[i];
      const Case& now = *pairs[i + 1];
      std::printf(
          "  %2d notes, %-8s block %4d: before rt %6.1f (%6.2f ns/v), now rt %6.1f (%6.2f ns/v): %.2f times faster\n",
          now.notes, kEffects[now.effect], now.block, before.RealTime(), before.PerVoice(), now.RealTime(),
          now.PerVoice(), before.Median() / now.Median());
    }
  }

  if (!other.empty()) {
    // 8 and 32 held notes, block 256, effects off, rounds interleaved with ours.
    std::vector<std::unique_ptr<Case>> duel;
    for (int notes : {8, 32}) {
      auto theirs = Prepare(other, kOtherInstrument, notes, 0, 256);
      if (!theirs) {
        std::printf("\n%s: not loadable, comparison skipped\n", other.c_str());
        return 0;
      }
      duel.push_back(std::move(theirs));
      duel.push_back(Prepare(TESVAR_PLUGIN_PATH, paths - 1, notes, 0, 256));
    }
    Rounds(Pointers(duel), rounds, seconds);
    std::printf("\n%s against Tesvar (%s), block 256, same run:\n", other.c_str(), kPaths[paths - 1]);
    for (std::size_t i = 0; i < duel.size(); i += 2) {
      const Case& theirs = *duel[i];
      const Case& ours = *duel[i + 1];
      std::printf(
          "  %2d notes: theirs %7.2f ns/v (rt %6.1f), ours %6.2f ns/v (rt %6.1f): theirs costs %.2f times ours per "
          "voice\n",
          ours.notes, theirs.PerVoice(), theirs.RealTime(), ours.PerVoice(), ours.RealTime(),
          theirs.PerVoice() / ours.PerVoice());
    }
  }
  return 0;
}
