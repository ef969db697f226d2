// The JACK client: ports, the process callback, the server's notifications, connections.
#include "standalone/JackSession.h"

#include <dlfcn.h>
#include <jack/midiport.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace standalone {
namespace {

// The library reports its own troubles on stderr; while joining, its words about a missing
// server would only bury ours.
std::atomic<bool> quietLibrary{false};
void LibraryError(const char* text) {
  if (!quietLibrary.load()) std::fprintf(stderr, "tesvar: JACK: %s\n", text);
}
void LibraryInfo(const char*) {}

bool LibraryIsPipeWires() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&jack_client_open), &info) == 0 || info.dli_fname == nullptr) return false;
  return std::strstr(info.dli_fname, "pipewire") != nullptr;
}

bool PipeWireRuns() {
  const char* runtime = std::getenv("PIPEWIRE_RUNTIME_DIR");
  if (runtime == nullptr) runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr) return false;
  const char* remote = std::getenv("PIPEWIRE_REMOTE");
  const std::string socket = std::string(runtime) + "/" + (remote != nullptr ? remote : "pipewire-0");
  struct stat status {};
  return stat(socket.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

// The names of the ports of `type` with all of `flags`, in the server's order.
std::vector<std::string> Ports(jack_client_t* client, const char* type, unsigned long flags) {
  std::vector<std::string> names;
  const char** ports = jack_get_ports(client, nullptr, type, flags);
  for (int i = 0; ports != nullptr && ports[i] != nullptr; ++i) names.emplace_back(ports[i]);
  jack_free(ports);
  return names;
}

}  // namespace

std::string NoServerMessage(const std::string& serverName, bool pipewireLibrary, bool pipewireRunning) {
  const std::string which = " (\"" + serverName + "\")";
  if (pipewireLibrary) {
    return "PipeWire's JACK layer found no PipeWire server" + which +
           " to join.\nStart PipeWire (systemctl --user start pipewire wireplumber) and try again.";
  }
  std::string text = "no JACK server" + which + " is running.\n";
  if (pipewireRunning) {
    text +=
        "PipeWire runs on this machine, but its JACK layer is missing: install it (Debian: pipewire-jack)\n"
        "and start tesvar as   pw-jack tesvar\n"
        "or start a JACK server of its own:   jackd -d alsa";
  } else {
    text +=
        "Start one first, for example   jackd -d alsa   (QjackCtl starts one too; jackd -d dummy runs\n"
        "without a sound card). With PipeWire, install its JACK layer (Debian: pipewire-jack) and\n"
        "start tesvar as   pw-jack tesvar";
  }
  return text;
}

JackSession::OpenResult JackSession::Open(const std::string& clientName, const std::string& serverName) {
  jack_set_error_function(LibraryError);
  jack_set_info_function(LibraryInfo);
  const auto longest = static_cast<std::size_t>(jack_client_name_size() - 1);
  if (clientName.size() > longest) {
    error_ = "a JACK client's name has at most " + std::to_string(longest) + " characters";
    return OpenResult::kFailed;
  }
  jack_status_t status{};
  int options = JackNoStartServer;
  if (!serverName.empty()) options |= JackServerName;
  quietLibrary = true;
  client_ = jack_client_open(clientName.c_str(), static_cast<jack_options_t>(options), &status, serverName.c_str());
  quietLibrary = false;
  if (client_ == nullptr) {
    if ((status & JackServerFailed) != 0 || (status & JackServerError) != 0) {
      const char* fromEnvironment = std::getenv("JACK_DEFAULT_SERVER");
      const std::string name = !serverName.empty()                                        ? serverName
                               : fromEnvironment != nullptr && fromEnvironment[0] != '\0' ? fromEnvironment
                                                                                          : "default";
      error_ = NoServerMessage(name, LibraryIsPipeWires(), PipeWireRuns());
      return OpenResult::kNoServer;
    }
    char detail[64];
    std::snprintf(detail, sizeof(detail), "status 0x%x%s", static_cast<unsigned>(status),
                  (status & JackInvalidOption) != 0 ? ": a name too long or not allowed" : "");
    error_ = "the JACK server refused the client \"" + clientName + "\" (" + detail + ")";
    return OpenResult::kFailed;
  }
  sampleRate_ = jack_get_sample_rate(client_);
  blockSize_ = static_cast<int>(jack_get_buffer_size(client_));
  left_ = jack_port_register(client_, "out_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  right_ = jack_port_register(client_, "out_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  midiIn_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  if (left_ == nullptr || right_ == nullptr || midiIn_ == nullptr) {
    error_ = "the JACK server refused tesvar's ports";
    Close();
    return OpenResult::kFailed;
  }
  jack_set_process_callback(client_, Process, this);
  jack_set_buffer_size_callback(client_, BufferSizeChanged, this);
  jack_set_sample_rate_callback(client_, SampleRateChanged, this);
  jack_set_xrun_callback(client_, Xrun, this);
  jack_set_port_registration_callback(client_, PortRegistered, this);
  jack_on_info_shutdown(client_, ServerShutdown, this);
  return OpenResult::kOpen;
}

std::string JackSession::ClientName() const { return client_ != nullptr ? jack_get_client_name(client_) : ""; }

bool JackSession::Activate(AudioBridge* bridge) {
  bridge_.store(bridge, std::memory_order_release);
  if (jack_activate(client_) != 0) {
    error_ = "the JACK server did not start tesvar's processing";
    return false;
  }
  return true;
}

// ---- Audio and notification threads ---------------------------------------------------------

int JackSession::Process(jack_nframes_t frames, void* self) {
  auto* session = static_cast<JackSession*>(self);
  auto* left = static_cast<float*>(jack_port_get_buffer(session->left_, frames));
  auto* right = static_cast<float*>(jack_port_get_buffer(session->right_, frames));
  AudioBridge* bridge = session->bridge_.load(std::memory_order_acquire);
  if (bridge == nullptr || left == nullptr || right == nullptr) {
    if (left != nullptr) std::fill(left, left + frames, 0.0f);
    if (right != nullptr) std::fill(right, right + frames, 0.0f);
    return 0;
  }
  bridge->Begin(static_cast<int>(frames));
  void* midi = jack_port_get_buffer(session->midiIn_, frames);
  const std::uint32_t count = midi != nullptr ? jack_midi_get_event_count(midi) : 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, midi, i) == 0) bridge->AddMidi(event.buffer, event.size, event.time);
  }
  bridge->Render(left, right, static_cast<int>(frames));
  return 0;
}

int JackSession::BufferSizeChanged(jack_nframes_t frames, void* self) {
  auto* session = static_cast<JackSession*>(self);
  session->blockSize_ = static_cast<int>(frames);
  if (AudioBridge* bridge = session->bridge_.load(std::memory_order_acquire))
    bridge->SetBlockSize(static_cast<int>(frames));
  return 0;
}

int JackSession::SampleRateChanged(jack_nframes_t rate, void* self) {
  auto* session = static_cast<JackSession*>(self);
  session->sampleRate_ = static_cast<double>(rate);
  if (AudioBridge* bridge = session->bridge_.load(std::memory_order_acquire)) bridge->SetSampleRate(rate);
  return 0;
}

int JackSession::Xrun(void* self) {
  static_cast<JackSession*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

void JackSession::PortRegistered(jack_port_id_t port, int registered, void* self) {
  auto* session = static_cast<JackSession*>(self);
  if (registered == 0 || !session->followNewPorts_) return;
  // Connections cannot be made from a notification; the main thread makes them.
  std::lock_guard<std::mutex> guard(session->newPortsMutex_);
  session->newPorts_.push_back(port);
}

void JackSession::ServerShutdown(jack_status_t, const char* reason, void* self) {
  auto* session = static_cast<JackSession*>(self);
  std::strncpy(session->shutdownReason_, reason != nullptr ? reason : "", sizeof(session->shutdownReason_) - 1);
  session->serverGone_.store(true, std::memory_order_release);
}

std::string JackSession::ShutdownReason() const {
  return ServerGone() && shutdownReason_[0] != '\0' ? shutdownReason_ : "the server stopped";
}

// ---- Connections -------------------------------------------------------------------------------

bool JackSession::Connect(const char* from, const char* to) {
  const int result = jack_connect(client_, from, to);
  if (result != 0 && result != EEXIST) {
    std::fprintf(stderr, "tesvar: cannot connect %s to %s\n", from, to);
    return false;
  }
  return true;
}

void JackSession::ConnectDefaults() {
  const std::vector<std::string> playback =
      Ports(client_, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput);
  if (playback.empty()) {
    std::fprintf(stderr, "tesvar: the server has no playback ports; connect tesvar's outputs yourself\n");
  } else {
    // A single playback port takes both sides.
    Connect(jack_port_name(left_), playback[0].c_str());
    Connect(jack_port_name(right_), playback[std::min<std::size_t>(1, playback.size() - 1)].c_str());
  }
  for (const std::string& source : Ports(client_, JACK_DEFAULT_MIDI_TYPE, JackPortIsPhysical | JackPortIsOutput)) {
    Connect(source.c_str(), jack_port_name(midiIn_));
  }
}

void JackSession::ConnectNewPorts() {
  std::vector<jack_port_id_t> ports;
  {
    std::lock_guard<std::mutex> guard(newPortsMutex_);
    ports.swap(newPorts_);
  }
  for (jack_port_id_t id : ports) {
    jack_port_t* port = jack_port_by_id(client_, id);
    if (port == nullptr || jack_port_is_mine(client_, port)) continue;
    const int flags = jack_port_flags(port);
    const char* type = jack_port_type(port);
    if ((flags & JackPortIsPhysical) == 0 || (flags & JackPortIsOutput) == 0 || type == nullptr ||
        std::strcmp(type, JACK_DEFAULT_MIDI_TYPE) != 0) {
      continue;
    }
    if (Connect(jack_port_name(port), jack_port_name(midiIn_))) {
      std::printf("tesvar: connected %s\n", jack_port_name(port));
      std::fflush(stdout);
    }
  }
}

void JackSession::ListPorts(std::FILE* out) const {
  std::fprintf(out, "JACK server at %.0f Hz, %d frames a block\n", SampleRate(), BlockSize());
  std::fprintf(out, "Audio destinations (* = where tesvar's outputs go):\n");
  const std::vector<std::string> playback =
      Ports(client_, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput);
  for (const std::string& name : Ports(client_, JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput)) {
    const auto at = std::find(playback.begin(), playback.end(), name);
    const bool used = at != playback.end() && at - playback.begin() < 2;
    std::fprintf(out, "  %c %s%s\n", used ? '*' : ' ', name.c_str(), at != playback.end() ? " (physical)" : "");
  }
  std::fprintf(out, "MIDI sources (* = tesvar connects it to its MIDI input):\n");
  const std::vector<std::string> hardware =
      Ports(client_, JACK_DEFAULT_MIDI_TYPE, JackPortIsPhysical | JackPortIsOutput);
  for (const std::string& name : Ports(client_, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput)) {
    const bool used = std::find(hardware.begin(), hardware.end(), name) != hardware.end();
    std::fprintf(out, "  %c %s%s\n", used ? '*' : ' ', name.c_str(), used ? " (physical)" : "");
  }
}

void JackSession::Close() {
  if (client_ == nullptr) return;
  // After the server has gone, the library's complaints on the way out tell nothing new.
  if (ServerGone()) quietLibrary = true;
  jack_deactivate(client_);
  jack_client_close(client_);
  client_ = nullptr;
  bridge_.store(nullptr, std::memory_order_release);
}

}  // namespace standalone
