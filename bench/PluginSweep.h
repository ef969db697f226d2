// The block-size sweep of the plug-in benchmark: what a host block and a held note cost
// from block 1 to block 4096, printed as the README's performance table.
#pragma once

#include <string>

namespace bench {

struct SweepOptions {
  std::string plugin;    // this build's library
  std::string baseline;  // another build of ours, measured in the same rounds ("" for none)
  std::string other;     // another instrument for the per-voice comparison ("" for none)
  int rounds = 5;
  double seconds = 0.25;
};

// Blocks 1, 32, 64, 256, 1024, 4096 against 0, 8, 32 and 64 held notes, effects off and
// ensemble, on the best voice path, all cases (and the baseline's, and the scalar path's
// at block 256) in interleaved rounds; then the figures the targets name. Prints Markdown.
// Answers the process exit status.
int Sweep(const SweepOptions& options);

}  // namespace bench
