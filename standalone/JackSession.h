// The standalone program as a JACK client: two audio outputs, one MIDI input, the server's
// notifications, and the connections made for the user. The only file that knows JACK.
#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "standalone/AudioBridge.h"

namespace standalone {

// The message for a user whose JACK library found no server: how to start one, worded for
// JACK's own library or PipeWire's, and for a machine where PipeWire runs without its JACK
// layer.
std::string NoServerMessage(const std::string& serverName, bool pipewireLibrary, bool pipewireRunning);

class JackSession {
 public:
  enum class OpenResult { kOpen, kNoServer, kFailed };

  JackSession() = default;
  ~JackSession() { Close(); }
  JackSession(const JackSession&) = delete;
  JackSession& operator=(const JackSession&) = delete;

  // Joins the server (never starts one) and registers the ports. kNoServer and kFailed
  // set Error() to a message for the user.
  OpenResult Open(const std::string& clientName, const std::string& serverName);
  const std::string& Error() const { return error_; }

  // The server's figures; they change while running (both are followed).
  double SampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }
  int BlockSize() const { return blockSize_.load(std::memory_order_relaxed); }
  long Xruns() const { return xruns_.load(std::memory_order_relaxed); }
  // The client's name as the server gave it ("tesvar", or "tesvar-01" beside another).
  std::string ClientName() const;

  // Starts processing through `bridge`, which must outlive the session or its Close. Its
  // plug-in instance must be started at SampleRate and BlockSize.
  bool Activate(AudioBridge* bridge);
  // The outputs to the first two physical playback ports, every physical MIDI source to the
  // input. Problems are reported on stderr; nothing is fatal.
  void ConnectDefaults();
  // With `follow`, MIDI hardware ports that appear later are connected by ConnectNewPorts.
  void FollowNewPorts(bool follow) { followNewPorts_ = follow; }
  // Main thread: connects the MIDI hardware ports registered since the last call.
  void ConnectNewPorts();
  // The ports the defaults would connect, and the other candidates, for --list-ports.
  void ListPorts(std::FILE* out) const;

  // True once the server has stopped or thrown the client out; ShutdownReason says why.
  bool ServerGone() const { return serverGone_.load(std::memory_order_acquire); }
  std::string ShutdownReason() const;

  // Deactivates and leaves the server; the process callback has returned for good after
  // this. Safe to call twice.
  void Close();

 private:
  static int Process(jack_nframes_t frames, void* self);
  static int BufferSizeChanged(jack_nframes_t frames, void* self);
  static int SampleRateChanged(jack_nframes_t rate, void* self);
  static int Xrun(void* self);
  static void PortRegistered(jack_port_id_t port, int registered, void* self);
  static void ServerShutdown(jack_status_t code, const char* reason, void* self);
  bool Connect(const char* from, const char* to);

  jack_client_t* client_ = nullptr;
  jack_port_t* left_ = nullptr;
  jack_port_t* right_ = nullptr;
  jack_port_t* midiIn_ = nullptr;
  std::atomic<AudioBridge*> bridge_{nullptr};
  std::atomic<double> sampleRate_{0.0};
  std::atomic<int> blockSize_{0};
  std::atomic<long> xruns_{0};
  std::atomic<bool> serverGone_{false};
  char shutdownReason_[256] = {};
  std::atomic<bool> followNewPorts_{false};
  std::mutex newPortsMutex_;  // the notification thread's list of new ports (not the audio thread)
  std::vector<jack_port_id_t> newPorts_;
  std::string error_;
};

}  // namespace standalone
