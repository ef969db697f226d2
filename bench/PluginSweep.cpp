// The block-size sweep: cases prepared, timed in interleaved rounds, printed as Markdown.
#include "bench/PluginSweep.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/PluginCases.h"

namespace bench {
namespace {

constexpr int kBlocks[] = {1, 32, 64, 256, 1024, 4096};
constexpr int kNotes[] = {0, 8, 32, 64};
constexpr int kSweepEffects[] = {0, 3};  // off, ensemble
constexpr int kBlockCount = sizeof(kBlocks) / sizeof(kBlocks[0]);
constexpr int kNoteCount = sizeof(kNotes) / sizeof(kNotes[0]);
constexpr int kSmall = 1;  // index of block 32
constexpr int kLarge = 3;  // index of block 256

std::string Machine() {
  std::ifstream in("/proc/cpuinfo");
  std::string line, model = "unknown processor";
  while (std::getline(in, line)) {
    if (line.rfind("model name", 0) == 0 && line.find(':') != std::string::npos) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  return model + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores";
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  char text[16];
  std::strftime(text, sizeof(text), "%Y-%m-%d", std::localtime(&now));
  return text;
}

// The sweep's cases of one build: [block][notes][effects off, ensemble].
struct Grid {
  std::unique_ptr<Case> cell[kBlockCount][kNoteCount][2];
  std::unique_ptr<Case> scalar[kNoteCount];  // block 256, effects off (no scalar case for 0 notes)

  bool Fill(const std::string& library, int path) {
    for (int b = 0; b < kBlockCount; ++b) {
      for (int n = 0; n < kNoteCount; ++n) {
        for (int e = 0; e < 2; ++e) {
          cell[b][n][e] = Prepare(library, path, kNotes[n], kSweepEffects[e], kBlocks[b]);
          if (!cell[b][n][e]) return false;
        }
      }
    }
    for (int n = 1; n < kNoteCount; ++n) {
      scalar[n] = Prepare(library, 0, kNotes[n], 0, kBlocks[kLarge]);
      if (!scalar[n]) return false;
    }
    return true;
  }
  void AddTo(std::vector<Case*>& cases) const {
    for (const auto& block : cell) {
      for (const auto& notes : block) {
        for (const auto& c : notes) cases.push_back(c.get());
      }
    }
    for (int n = 1; n < kNoteCount; ++n) cases.push_back(scalar[n].get());
  }
};

// "after", or "before → after" when there is a baseline.
std::string Pair(const char* format, const Case* before, double (Case::*figure)() const, const Case& now) {
  char a[32], b[32];
  std::snprintf(b, sizeof(b), format, (now.*figure)());
  if (before == nullptr) return b;
  std::snprintf(a, sizeof(a), format, (before->*figure)());
  return std::string(a) + " → " + b;
}

double Increase(const Case& small, const Case& large) { return 100.0 * (small.Median() / large.Median() - 1.0); }

}  // namespace

int Sweep(const SweepOptions& o) {
  const int best = AvailablePaths() - 1;
  Grid now, before;
  if (!now.Fill(o.plugin, best)) return 1;
  const bool baseline = !o.baseline.empty();
  if (baseline && !before.Fill(o.baseline, best)) return 1;
  std::unique_ptr<Case> theirs[2];  // 8 and 32 notes, block 256, effects off
  const bool other = !o.other.empty();
  for (int k = 0; other && k < 2; ++k) {
    theirs[k] = Prepare(o.other, kOtherInstrument, k == 0 ? 8 : 32, 0, kBlocks[kLarge]);
    if (!theirs[k]) return 1;
  }
  std::vector<Case*> cases;
  now.AddTo(cases);
  if (baseline) before.AddTo(cases);
  for (int k = 0; other && k < 2; ++k) cases.push_back(theirs[k].get());
  const long allocations = Rounds(cases, o.rounds, o.seconds);

  auto was = [&](const std::unique_ptr<Case>& c) { return baseline ? c.get() : nullptr; };
  std::printf(
      "Tesvar through its VST2 entry (single precision), %s path, 44100 Hz: the first factory program in\n"
      "Poly with 64 voices, EG2 sustain full, held notes from C2 up. %s; %s. CPU time of the process calls,\n"
      "%d interleaved rounds of %.2f s per case, medians%s.\n\n",
      kPaths[best], Machine().c_str(), Today().c_str(), o.rounds, o.seconds,
      baseline ? "; before (the baseline build) → after, from the same run" : "");
  std::printf("| block | notes | effects off: ns per sample | × real time | ensemble: ns per sample | × real time |\n");
  std::printf("|---:|---:|---:|---:|---:|---:|\n");
  for (int b = 0; b < kBlockCount; ++b) {
    for (int n = 0; n < kNoteCount; ++n) {
      std::printf("| %d | %d", kBlocks[b], kNotes[n]);
      for (int e = 0; e < 2; ++e) {
        const Case& c = *now.cell[b][n][e];
        const Case* p = was(before.cell[b][n][e]);
        std::printf(" | %s | %s", Pair("%.1f", p, &Case::Median, c).c_str(),
                    Pair("%.0f", p, &Case::RealTime, c).c_str());
      }
      std::printf(" |\n");
    }
  }

  std::printf("\n- No notes, block 32: %s µs of work per host block (target: at most 0.3).\n",
              Pair("%.2f", was(before.cell[kSmall][0][0]), &Case::BlockMicroseconds, *now.cell[kSmall][0][0]).c_str());
  std::printf("- Block 32 against block 256, cost per sample (target: at most +10 %%):");
  for (int n = 1; n < kNoteCount; ++n) {
    for (int e = 0; e < 2; ++e) {
      std::printf("%s %d notes %s %+.1f %%", n == 1 && e == 0 ? "" : ",", kNotes[n], e == 0 ? "off" : "ensemble",
                  Increase(*now.cell[kSmall][n][e], *now.cell[kLarge][n][e]));
      if (baseline) std::printf(" (before %+.1f %%)", Increase(*before.cell[kSmall][n][e], *before.cell[kLarge][n][e]));
    }
  }
  std::printf(
      ".\n- Block 256, × real time: 64 voices with the ensemble %s (target: at least 80); 8 voices %s with the\n"
      "  effects off, %s with the ensemble (target: at least 400).\n",
      Pair("%.1f", was(before.cell[kLarge][3][1]), &Case::RealTime, *now.cell[kLarge][3][1]).c_str(),
      Pair("%.0f", was(before.cell[kLarge][1][0]), &Case::RealTime, *now.cell[kLarge][1][0]).c_str(),
      Pair("%.0f", was(before.cell[kLarge][1][1]), &Case::RealTime, *now.cell[kLarge][1][1]).c_str());
  std::printf(
      "- Scalar path, block 256, effects off, ns per voice and sample (the per-voice engine took 13.7 ... 16.9):");
  for (int n = 1; n < kNoteCount; ++n) {
    std::printf("%s %d notes %s", n == 1 ? "" : ",", kNotes[n],
                Pair("%.2f", was(before.scalar[n]), &Case::PerVoice, *now.scalar[n]).c_str());
  }
  std::printf(".\n- Allocations inside process calls: %ld.\n", allocations);

  if (other) {
    std::printf("- %s against Tesvar, block 256, effects off, ns per voice and sample (target: 8 times at 32 notes):",
                o.other.c_str());
    for (int k = 0; k < 2; ++k) {
      const Case& ours = *now.cell[kLarge][k + 1][0];
      std::printf("%s %d notes theirs %.2f, ours %.2f: %.1f times", k == 0 ? "" : ";", ours.notes,
                  theirs[k]->PerVoice(), ours.PerVoice(), theirs[k]->PerVoice() / ours.PerVoice());
    }
    std::printf(".\n");
  }
  return 0;
}

}  // namespace bench
