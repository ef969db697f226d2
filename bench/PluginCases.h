// Benchmark cases of a whole plug-in driven through its entry point as a host drives it:
// held notes, one effect, one block size, one voice path; timed in rounds of CPU time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/PluginHost.h"

namespace bench {

inline constexpr double kRate = 44100.0;
inline constexpr const char* kEffects[] = {"off", "chorus", "phaser", "ensemble"};
inline constexpr const char* kPaths[] = {"scalar", "sse2", "avx2", "avx512"};
// Case::path for instruments that are not ours.
inline constexpr int kOtherInstrument = -1;
// Case::path for a build of ours left on its own choice of path.
inline constexpr int kOwnPath = -2;

struct Case {
  std::unique_ptr<PluginHost> host;
  int notes = 0;
  int effect = 0;  // index into kEffects
  int block = 256;
  int path = 0;                     // index into kPaths, or kOtherInstrument, kOwnPath
  std::vector<double> nsPerSample;  // CPU nanoseconds per sample, one per round
  long allocations = 0;             // inside the process calls, all rounds
  std::vector<float> left, right, silence;

  double Median() const;
  // Audio seconds per CPU second.
  double RealTime() const { return 1e9 / (Median() * kRate); }
  // Per sounding voice (per sample with no note).
  double PerVoice() const { return Median() / (notes > 0 ? notes : 1); }
  // CPU microseconds per host block.
  double BlockMicroseconds() const { return Median() * block / 1000.0; }
};

// The paths this processor has (the plug-in falls back below what it lacks).
int AvailablePaths();

// A loaded and started instance: ours in Poly with 64 voices, EG2 sustain full so that the
// notes keep sounding, the effect chosen; another instrument with its amplifier envelope
// held open and its own reverb and distortion off. `notes` keys from note 36 are held and
// half a second is rendered before timing starts. Null (with a message) when the library
// does not load.
std::unique_ptr<Case> Prepare(const std::string& library, int path, int notes, int effect, int block);

// One round of a case: `seconds` of audio through the replacing process entry, timed.
// Answers the allocations made inside the process calls (also added to c.allocations).
long Run(Case& c, double seconds);

// `rounds` rounds over all cases, interleaved so that a busy machine slows them alike.
// Answers the allocations of the cases of ours (not those of other instruments).
long Rounds(const std::vector<Case*>& cases, int rounds, double seconds);

}  // namespace bench
