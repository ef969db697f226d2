// The standalone program's start, main loop and end.
#include "standalone/StandaloneProgram.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/Platform.h"
#include "tools/HostPrograms.h"

namespace standalone {
namespace {

constexpr int kLoopMs = 10;  // the editor's idle and the window's events, as Linux hosts pump them
constexpr auto kProgramPoll = std::chrono::milliseconds(200);
constexpr auto kXrunReport = std::chrono::seconds(5);

void Say(const std::string& text) {
  std::printf("tesvar: %s\n", text.c_str());
  std::fflush(stdout);
}

void Complain(const std::string& text) { std::fprintf(stderr, "tesvar: %s\n", text.c_str()); }

std::string ProgramNumber(int index) {
  return index >= 0 && index < 64 ? std::to_string(index / 8 + 1) + std::to_string(index % 8 + 1) : "--";
}

}  // namespace

std::string FindPlugin(const std::string& given) {
  if (!given.empty()) return platform::PathExists(given) ? given : "";
  std::vector<char> self(4096);
  const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
  if (length <= 0) return "";
  std::string folder(self.data(), static_cast<std::size_t>(length));
  folder.resize(folder.rfind('/'));
  for (const std::string& candidate : {folder + "/Tesvar64.so", folder + "/../lib/vst/Tesvar64.so"}) {
    if (platform::PathExists(candidate)) return candidate;
  }
  return "";
}

StandaloneProgram::~StandaloneProgram() {
  if (editorOpen_) host_.Dispatch(vst::effEditClose);
}

int StandaloneProgram::Start() {
  switch (session_.Open(options_.clientName, options_.serverName)) {
    case JackSession::OpenResult::kNoServer: Complain(session_.Error()); return kExitNoServer;
    case JackSession::OpenResult::kFailed: Complain(session_.Error()); return kExitFailed;
    case JackSession::OpenResult::kOpen: break;
  }
  if (options_.listPorts) {
    session_.ListPorts(stdout);
    listed_ = true;
    return kExitOk;
  }
  const std::string plugin = FindPlugin(options_.pluginPath);
  if (plugin.empty()) {
    Complain(options_.pluginPath.empty()
                 ? "cannot find the plug-in Tesvar64.so beside tesvar or in ../lib/vst; give it with --plugin FILE"
                 : "there is no plug-in " + options_.pluginPath);
    return kExitFailed;
  }
  if (!CreateInstance(plugin) || !RestoreState()) return kExitFailed;

  bridge_ = std::make_unique<AudioBridge>(host_.Effect());
  session_.FollowNewPorts(options_.autoConnect);
  if (!session_.Activate(bridge_.get())) {
    Complain(session_.Error());
    return kExitFailed;
  }
  if (options_.connect) session_.ConnectDefaults();
  Say("JACK client \"" + session_.ClientName() + "\" at " + std::to_string(static_cast<int>(session_.SampleRate())) +
      " Hz, " + std::to_string(session_.BlockSize()) + " frames a block");
  shownRate_ = session_.SampleRate();
  shownBlock_ = session_.BlockSize();
  ShowProgram();
  if (!options_.headless && !OpenWindow()) {
    Shutdown();
    return kExitFailed;
  }
  return kExitOk;
}

bool StandaloneProgram::CreateInstance(const std::string& plugin) {
  host_.Close();
  // Products named "standalone" are the host kind the plug-in knows as such.
  host_.productString = "Tesvar Standalone";
  host_.vendorString = "Quellmark Music";
  host_.vendorVersion = 10001;
  host_.processLevel = 2;  // real time
  host_.recording = false;
  if (!host_.Load(plugin)) {
    Complain(host_.Error());
    return false;
  }
  host_.Start(session_.SampleRate(), session_.BlockSize());
  return true;
}

bool StandaloneProgram::RestoreState() {
  if (!options_.bankFile.empty()) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(options_.bankFile, &bytes)) {
      Complain("cannot read " + options_.bankFile);
      return false;
    }
    if (!LoadBankFile(host_, bytes, &error)) {
      Complain(options_.bankFile + ": " + error);
      return false;
    }
    Say("bank " + options_.bankFile + " loaded");
  } else {
    const RestoreResult restored = state_.Restore(host_);
    switch (restored.kind) {
      case RestoreResult::Kind::kNoFile: break;
      case RestoreResult::Kind::kRestored: Say("state restored from " + state_.Path()); break;
      case RestoreResult::Kind::kSetAside: {
        Complain(restored.message);
        // The damaged bank may have been read in part: start again from a fresh instance.
        const std::string plugin = FindPlugin(options_.pluginPath);
        if (!CreateInstance(plugin)) return false;
        break;
      }
      case RestoreResult::Kind::kKept: Complain(restored.message); break;
    }
  }
  if (!options_.program.empty()) {
    const int index = FindProgram(host_, options_.program);
    if (index < 0) {
      Complain("no program \"" + options_.program + "\" (give 11 ... 88 or a program name)");
      return false;
    }
    host_.Dispatch(vst::effSetProgram, 0, index);
  }
  return true;
}

bool StandaloneProgram::OpenWindow() {
  vst::ERect* rect = nullptr;
  if (host_.Dispatch(vst::effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr) {
    Complain("the plug-in has no editor; --headless plays without one");
    return false;
  }
  std::string error;
  window_ = StandaloneWindow::Create(rect->right - rect->left, rect->bottom - rect->top, &error);
  if (!window_) {
    Complain(error + "; --headless plays without a window");
    return false;
  }
  // A Zoom picked in the editor's menu resizes the window with it (user-interface thread).
  host_.resizeWindow = [this](int width, int height) {
    if (!window_) return false;
    window_->FitEditor(width, height);
    return true;
  };
  if (host_.Dispatch(vst::effEditOpen, 0, 0, window_->Handle()) == 0) {
    Complain("the editor did not open in the window");
    return false;
  }
  editorOpen_ = true;
  window_->SetTitle(ProgramNumber(shownProgram_) + " " + shownName_);
  ShowStatus();
  return true;
}

void StandaloneProgram::ShowProgram() {
  const int program = static_cast<int>(host_.Dispatch(vst::effGetProgram));
  const std::string name = host_.Text(vst::effGetProgramName, 0);
  vst::ERect* rect = nullptr;
  if (window_ && host_.Dispatch(vst::effEditGetRect, 0, 0, &rect) != 0 && rect != nullptr) {
    window_->FitEditor(rect->right - rect->left, rect->bottom - rect->top);
  }
  if (program == shownProgram_ && name == shownName_) return;
  shownProgram_ = program;
  shownName_ = name;
  const std::string text = ProgramNumber(program) + " " + name;
  Say("program " + text);
  if (window_) window_->SetTitle(text);
}

void StandaloneProgram::ShowStatus() {
  const double rate = session_.SampleRate();
  const int block = session_.BlockSize();
  if (rate != shownRate_ || block != shownBlock_) {
    shownRate_ = rate;
    shownBlock_ = block;
    Say("JACK now at " + std::to_string(static_cast<int>(rate)) + " Hz, " + std::to_string(block) + " frames a block");
  }
  if (!window_) {
    // Without the strip, xruns are told on the terminal, at most every few seconds.
    const long xruns = session_.Xruns();
    const auto now = std::chrono::steady_clock::now();
    if (xruns != shownXruns_ && now - xrunsToldAt_ >= kXrunReport) {
      shownXruns_ = xruns;
      xrunsToldAt_ = now;
      Say(std::to_string(xruns) + (xruns == 1 ? " xrun" : " xruns") + " so far");
    }
    return;
  }
  char right[96];
  std::snprintf(right, sizeof(right), "%.0f Hz   %d frames   xruns %ld", rate, block, session_.Xruns());
  window_->SetStatus(keyboard_.StatusText(), right);
}

int StandaloneProgram::Run(const std::atomic<bool>& quit) {
  const ComputerKeyboard::Sink sink = [this](const MidiMessage& message) { return PostFromKeyboard(message); };
  auto lastPoll = std::chrono::steady_clock::now();
  while (!quit.load()) {
    if (session_.ServerGone()) {
      Complain("the JACK server went away (" + session_.ShutdownReason() + ")");
      serverLost_ = true;
      break;
    }
    if (window_) {
      host_.Dispatch(vst::effEditIdle);
      if (!window_->Pump(keyboard_, sink)) break;
    }
    session_.ConnectNewPorts();
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPoll >= kProgramPoll) {
      lastPoll = now;
      ShowProgram();
    }
    ShowStatus();
    pollfd wait{window_ ? window_->EventFd() : -1, POLLIN, 0};
    poll(&wait, 1, kLoopMs);
  }
  if (window_) {
    keyboard_.ReleaseAll(sink);
    if (editorOpen_) host_.Dispatch(vst::effEditClose);
    editorOpen_ = false;
    window_.reset();
  }
  return Shutdown();
}

int StandaloneProgram::Shutdown() {
  std::lock_guard<std::mutex> guard(shutdownMutex_);
  if (shutDown_) return exitStatus_;
  shutDown_ = true;
  session_.Close();
  int status = serverLost_ ? kExitFailed : kExitOk;
  std::string error;
  if (host_.Effect() == nullptr) {
    status = kExitFailed;
  } else if (state_.Save(host_, &error)) {
    Say("state saved in " + state_.Path());
  } else {
    Complain("the state was not saved: " + error);
    status = kExitFailed;
  }
  exitStatus_ = status;
  return status;
}

}  // namespace standalone
