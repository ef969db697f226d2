// Sixty-four instances in one process: they open, play and close, and the heap is back
// where it was. The memory each instance takes is printed, with what the first instance
// builds for all of them (the process-wide tables) counted once.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "tests/SanitizedBuild.h"
#include "tests/vst2/HostTestSupport.h"

#if TESVAR_SANITIZED_BUILD
// The sanitizers replace malloc; their own count is the one to read.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

long long HeapInUse() {
#if TESVAR_SANITIZED_BUILD
  return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long long>(info.uordblks + info.hblkhd);
#endif
}

// A chord for a quarter of a second and its release; answers the peak while it sounded.
double Play(PluginHost& host) {
  host.SendMidi({{0, 0x90, 60, 100}, {0, 0x90, 64, 100}, {0, 0x90, 67, 100}});
  std::vector<float> left, right;
  double peak = 0.0;
  for (int block = 0; block < 22; ++block) {
    if (block == 20) host.SendMidi({{0, 0x80, 60, 0}, {0, 0x80, 64, 0}, {0, 0x80, 67, 0}});
    host.ProcessReplacing(left, right, 512);
    for (int s = 0; s < 512; ++s) {
      if (!std::isfinite(left[s]) || !std::isfinite(right[s])) return -1.0;
      peak = std::max({peak, std::fabs(double(left[s])), std::fabs(double(right[s]))});
    }
  }
  return peak;
}

TEST(ManyInstancesTest, SixtyFourInstancesOpenPlayAndCloseWithoutLeaking) {
  constexpr int kInstances = 64;
  // Allowance for the test host's own bookkeeping and the allocator's rounding.
  constexpr long long kSlackBytes = 16 * 1024;
  // The allocator keeps a few freed blocks of each size for the thread's next requests (they
  // count as in use); the first round of many instances fills those caches, so the check
  // starts with the second round, where a leak shows again in every round.
  constexpr int kRounds = 3;
  // The first instance of the process also builds the tables all instances share.
  const long long start = HeapInUse();
  long long first = 0;
  {
    auto warmUp = LoadPlugin();
    ASSERT_TRUE(warmUp);
    first = HeapInUse() - start;
    EXPECT_GT(Play(*warmUp), 0.01);
  }

  long long perInstance = 0;
  long long left = 0;
  long long cached = 0;
  for (int round = 0; round < kRounds; ++round) {
    const long long before = HeapInUse();
    std::vector<std::unique_ptr<PluginHost>> hosts;
    for (int i = 0; i < kInstances; ++i) {
      hosts.push_back(LoadPlugin());
      ASSERT_TRUE(hosts.back());
    }
    perInstance = (HeapInUse() - before) / kInstances;
    for (int i = 0; i < kInstances; ++i) EXPECT_GT(Play(*hosts[static_cast<std::size_t>(i)]), 0.01) << "instance " << i;
    hosts.clear();
    left = HeapInUse() - before;
    if (round == 0) {
      cached = left;
    } else {
      EXPECT_LE(left, kSlackBytes) << "round " << round << ": bytes left after closing every instance";
    }
  }
  std::printf(
      "memory: %.1f KiB per open instance; the first instance of the process took %.1f KiB more "
      "(the shared tables); %lld bytes left after all %d closed (%lld in the first round)\n",
      perInstance / 1024.0, (first - perInstance) / 1024.0, left, kInstances, cached);
}

}  // namespace
