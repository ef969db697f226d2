// The stress test's frame: actors that each drive plug-in instances from a thread of
// their own, as a host's threads do, for a fixed time; a seed that makes every actor's
// sequence of operations repeatable; and a watchdog that reports a thread that stops
// making progress (a deadlock) instead of hanging the test.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace stress {

using Random = std::mt19937_64;

// From the environment: TESVAR_STRESS_SEED (else a fresh random seed) and
// TESVAR_STRESS_SECONDS (else defaultSeconds).
struct StressConfig {
  std::uint64_t seed = 0;
  double seconds = 0.0;
};
StressConfig ConfigFromEnvironment(double defaultSeconds);

// One thread's work. Step runs in a loop on the actor's own thread until the time is up,
// then Finish runs once on the same thread. Each actor draws only from the generator it
// is given, so a seed replays its operations (the interleaving of threads is the
// system's).
class StressActor {
 public:
  virtual ~StressActor() = default;
  virtual const char* Name() const = 0;
  virtual void Step(Random& random) = 0;
  virtual void Finish() {}
  // Steps completed; read by the watchdog from the main thread.
  std::uint64_t Steps() const { return steps_.load(std::memory_order_relaxed); }
  void CountStep() { steps_.fetch_add(1, std::memory_order_relaxed); }

 private:
  std::atomic<std::uint64_t> steps_{0};
};

// Runs every actor on its own thread for config.seconds. An actor that completes no step
// for stallSeconds ends the process with a report naming it (its thread cannot be joined).
void RunActors(const std::vector<StressActor*>& actors, const StressConfig& config, double stallSeconds);

}  // namespace stress
