// The standalone program's life: the plug-in instance and its saved state, the JACK client,
// the window with the editor, the main loop, and the orderly end.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "standalone/AudioBridge.h"
#include "standalone/ComputerKeyboard.h"
#include "standalone/JackSession.h"
#include "standalone/StandaloneOptions.h"
#include "standalone/StandaloneWindow.h"
#include "standalone/StateFile.h"
#include "tools/PluginHost.h"

namespace standalone {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitNoServer = 2;

// The plug-in library to play: `given` when not empty, else Tesvar64.so beside this program,
// else ../lib/vst/Tesvar64.so from it; "" when none of them exists.
std::string FindPlugin(const std::string& given);

class StandaloneProgram {
 public:
  explicit StandaloneProgram(const StandaloneOptions& options) : options_(options), state_(DefaultStatePath()) {}
  ~StandaloneProgram();
  StandaloneProgram(const StandaloneProgram&) = delete;
  StandaloneProgram& operator=(const StandaloneProgram&) = delete;

  // Joins the server, creates the instance with its state, starts the audio and opens the
  // window. Answers kExitOk to go on into Run, or the status to end with (messages on
  // stderr). After --list-ports it answers kExitOk with Listed() true.
  int Start();
  bool Listed() const { return listed_; }
  // The main loop, until the window is closed, `quit` becomes true or the server goes away.
  // Then Shutdown; answers the exit status.
  int Run(const std::atomic<bool>& quit);
  // Leaves the server and saves the state, once (later calls answer the first's status).
  // Any thread: a signal watchdog calls it when the main thread is held up (a menu or a
  // dialog of the editor open). Answers the exit status.
  int Shutdown();

 private:
  bool CreateInstance(const std::string& plugin);
  bool RestoreState();
  bool OpenWindow();
  // The title from the current program and the window from the editor's size, every few
  // rounds; the strip every round.
  void ShowProgram();
  void ShowStatus();
  bool PostFromKeyboard(const MidiMessage& message) { return bridge_->PostFromKeyboard(message); }

  // Destroyed from the last: the window after the editor in it has closed, the JACK client
  // (no more callbacks) before the bridge and the instance it calls.
  StandaloneOptions options_;
  StateFile state_;
  PluginHost host_;
  std::unique_ptr<AudioBridge> bridge_;
  JackSession session_;
  std::unique_ptr<StandaloneWindow> window_;
  ComputerKeyboard keyboard_;
  bool listed_ = false;
  bool editorOpen_ = false;
  std::atomic<bool> serverLost_{false};
  int shownProgram_ = -1;
  std::string shownName_;
  double shownRate_ = 0.0;
  int shownBlock_ = 0;
  long shownXruns_ = 0;
  std::chrono::steady_clock::time_point xrunsToldAt_{};

  std::mutex shutdownMutex_;
  bool shutDown_ = false;
  int exitStatus_ = kExitOk;
};

}  // namespace standalone
