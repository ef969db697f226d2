// Threads, seeds and the watchdog of the stress test.
#include "tests/stress/StressRig.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace stress {

StressConfig ConfigFromEnvironment(double defaultSeconds) {
  StressConfig config;
  config.seconds = defaultSeconds;
  if (const char* text = std::getenv("TESVAR_STRESS_SECONDS")) {
    const double seconds = std::strtod(text, nullptr);
    if (seconds > 0.0) config.seconds = seconds;
  }
  if (const char* text = std::getenv("TESVAR_STRESS_SEED")) {
    config.seed = std::strtoull(text, nullptr, 10);
  } else {
    std::random_device device;
    config.seed = (std::uint64_t{device()} << 32 | device()) % 1000000000000ULL;
  }
  return config;
}

void RunActors(const std::vector<StressActor*>& actors, const StressConfig& config, double stallSeconds) {
  using Clock = std::chrono::steady_clock;
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  std::vector<std::atomic<bool>> finished(actors.size());
  for (std::size_t i = 0; i < actors.size(); ++i) {
    // A distinct, fixed stream per actor: the seed and the actor's place in the list.
    threads.emplace_back([&stop, &finished, i, actor = actors[i], seed = config.seed * 1000003ULL + i] {
      Random random(seed);
      while (!stop.load(std::memory_order_relaxed)) {
        actor->Step(random);
        actor->CountStep();
      }
      actor->Finish();
      finished[i] = true;
    });
  }
  auto stalled = [&](std::size_t i, const char* when) {
    std::fprintf(stderr, "stress: the %s thread made no progress for %.0f s %s (a deadlock?); seed %llu\n",
                 actors[i]->Name(), stallSeconds, when, static_cast<unsigned long long>(config.seed));
    std::fflush(stderr);
    std::abort();
  };

  const auto start = Clock::now();
  std::vector<std::uint64_t> lastSteps(actors.size(), 0);
  std::vector<Clock::time_point> lastProgress(actors.size(), start);
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto now = Clock::now();
    if (std::chrono::duration<double>(now - start).count() >= config.seconds) break;
    for (std::size_t i = 0; i < actors.size(); ++i) {
      const std::uint64_t steps = actors[i]->Steps();
      if (steps != lastSteps[i]) {
        lastSteps[i] = steps;
        lastProgress[i] = now;
      } else if (std::chrono::duration<double>(now - lastProgress[i]).count() > stallSeconds) {
        stalled(i, "while running");
      }
    }
  }
  stop = true;
  const auto stopped = Clock::now();
  for (std::size_t i = 0; i < actors.size(); ++i) {
    while (!finished[i]) {
      if (std::chrono::duration<double>(Clock::now() - stopped).count() > stallSeconds) stalled(i, "when stopping");
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace stress
