// tesvar: the standalone program. Plays the built plug-in, loaded through its entry point as
// a host loads it, as a JACK client, with its editor in a window of its own.
//
// SIGINT, SIGTERM and SIGHUP end it in order: the main loop sees the request within a round,
// leaves the server and saves the state. While the editor holds the main thread in a menu
// or dialog, a watchdog thread does the same after a grace time and ends the process. A
// display that goes away (its server ended, the windows killed) saves the state too.
#include <jack/jack.h>
#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "standalone/StandaloneOptions.h"
#include "standalone/StandaloneProgram.h"

namespace {

constexpr auto kGrace = std::chrono::seconds(3);

std::atomic<bool> quitRequested{false};
std::atomic<bool> mainDone{false};
std::atomic<standalone::StandaloneProgram*> running{nullptr};
int wakePipe[2] = {-1, -1};

// Async-signal-safe: a lock-free atomic store and a write.
void OnSignal(int) {
  quitRequested.store(true);
  const char byte = 1;
  if (wakePipe[1] >= 0) {
    [[maybe_unused]] const ssize_t n = write(wakePipe[1], &byte, 1);
  }
}

// Answers whether the watchdog can be woken (without the pipe the main loop still ends).
bool InstallSignals() {
  const bool piped = pipe(wakePipe) == 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  return piped;
}

void Watchdog(standalone::StandaloneProgram* program) {
  char byte;
  ssize_t n;
  while ((n = read(wakePipe[0], &byte, 1)) < 0 && errno == EINTR) {
  }
  if (n != 1) return;
  const auto deadline = std::chrono::steady_clock::now() + kGrace;
  while (std::chrono::steady_clock::now() < deadline) {
    if (mainDone.load()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::fprintf(stderr, "tesvar: the window does not answer; ending without it\n");
  // Should saving wait for a lock the held-up thread has, the alarm's default action ends
  // the process rather than leave it hanging.
  alarm(5);
  _exit(program->Shutdown());
}

void DisplayLost() {
  std::fprintf(stderr, "tesvar: the connection to the display broke\n");
  standalone::StandaloneProgram* program = running.load();
  _exit(program != nullptr ? std::max(program->Shutdown(), standalone::kExitFailed) : standalone::kExitFailed);
}

}  // namespace

int main(int argc, char** argv) {
  standalone::StandaloneOptions options;
  std::string error;
  if (!standalone::ParseStandaloneOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "tesvar: %s\n\n%s", error.c_str(), standalone::StandaloneUsage());
    return standalone::kExitFailed;
  }
  if (options.help) {
    std::fputs(standalone::StandaloneUsage(), stdout);
    return standalone::kExitOk;
  }
  if (options.version) {
    std::printf("tesvar %s (JACK library %s)\n", TESVAR_VERSION, jack_get_version_string());
    return standalone::kExitOk;
  }

  const bool watched = InstallSignals();
  standalone::StandaloneWindow::OnDisplayLost(DisplayLost);
  standalone::StandaloneProgram program(options);
  running = &program;
  const int started = program.Start();
  if (started != standalone::kExitOk || program.Listed()) return started;
  if (watched) std::thread(Watchdog, &program).detach();
  const int status = program.Run(quitRequested);
  mainDone = true;
  running = nullptr;
  return status;
}
