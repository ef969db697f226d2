// The host's threads in the stress test, each an actor on loaded plug-in instances:
// audio (notes, controllers and system-exclusive events, then a process call), host
// automation, the user-interface thread's program, chunk and file operations, and the
// tuning probe that measures the pitch of two quiet instances from their audio.
// The editor's own thread is in StressEditorTest.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/stress/StressRig.h"
#include "tools/PluginHost.h"

namespace stress {

// What the actors count, for the report and the checks after the run.
struct StressCounters {
  std::atomic<long> blocks{0};
  std::atomic<long> notes{0};
  std::atomic<long> sysex{0};
  std::atomic<long> nonFinite{0};  // samples that were not finite numbers
  std::atomic<long> parameterChanges{0};
  std::atomic<long> rateChanges{0};
  std::atomic<long> programSwitches{0};
  std::atomic<long> renames{0};
  std::atomic<long> chunkRoundTrips{0};
  std::atomic<long> chunksRefused{0};  // damaged chunks answered with 0
  std::atomic<long> filesLoaded{0};
  // Faults: a chunk the plug-in gave and refused back, a request for a chunk that gave
  // none, a good file refused.
  std::atomic<long> ownChunksRefused{0};
  std::atomic<long> missingChunks{0};
  std::atomic<long> goodFilesRefused{0};
};

// Switches processing off, sets the rate and block size and switches it on again.
void Configure(PluginHost& host, float sampleRate, int blockSize);

// With the keys all released: the loudest sample once every voice has had time to end. A
// voice whose note off was lost keeps sounding at full level; all others fall silent.
double PeakAfterEveryNoteOff(PluginHost& host);

// The audio thread of one instance: each step sends a block's events, sorted by offset,
// and renders the block through one of the three process entries. Every note on gets its
// note off within 20 blocks; Finish releases the keys still down and the pedal.
class AudioActor : public StressActor {
 public:
  AudioActor(PluginHost& host, int blockSize, StressCounters& counters);
  const char* Name() const override { return "audio"; }
  void Step(Random& random) override;
  void Finish() override;

 private:
  struct HeldNote {
    int key;
    int blocksLeft;
  };
  struct Event {
    int offset;
    std::vector<std::uint8_t> bytes;  // three for MIDI; a whole dump for system exclusive
  };
  void Send(std::vector<Event>& events);
  void Render(int entry);

  PluginHost& host_;
  int blockSize_;
  StressCounters& counters_;
  std::vector<HeldNote> held_;
  bool pedal_ = false;
  std::vector<float> left_, right_, input_;
  std::vector<double> leftDouble_, rightDouble_, inputDouble_;
};

// The host's automation of every parameter of the instances, with the occasional value
// a careless host sends (out of range, not a number, an index beyond the table), the
// parameter texts, and now and then a stop, a new sample rate and a restart of one
// instance (rates from `rates`).
class HostActor : public StressActor {
 public:
  HostActor(std::vector<PluginHost*> hosts, PluginHost* rateChanging, std::vector<float> rates,
            StressCounters& counters);
  const char* Name() const override { return "host"; }
  void Step(Random& random) override;

 private:
  std::vector<PluginHost*> hosts_;
  PluginHost* rateChanging_;
  std::vector<float> rates_;
  StressCounters& counters_;
};

// The user-interface thread: switches and renames programs, reads program names, takes
// program and bank chunks and restores them (program chunks into either instance; now and
// then damaged on purpose), and loads FXP and FXB files from disk as a host does.
class UserInterfaceActor : public StressActor {
 public:
  UserInterfaceActor(std::vector<PluginHost*> hosts, std::vector<std::string> files, StressCounters& counters);
  const char* Name() const override { return "user interface"; }
  void Step(Random& random) override;

 private:
  std::vector<PluginHost*> hosts_;
  std::vector<std::string> files_;
  StressCounters& counters_;
};

// Renders a held A4 on each probe instance (a plain program at its own sample rate) and
// measures its pitch in windows of 0.2 s, all through the run.
class TuningProbeActor : public StressActor {
 public:
  struct Probe {
    PluginHost* host;
    double sampleRate;
    std::vector<double> window;
    long windows = 0;
    double worstCents = 0.0;  // largest deviation from 440 Hz seen
    Probe(PluginHost* probeHost, double rate) : host(probeHost), sampleRate(rate) {}
  };
  TuningProbeActor(std::vector<Probe> probes, StressCounters& counters);
  const char* Name() const override { return "tuning probe"; }
  void Step(Random& random) override;
  const std::vector<Probe>& Probes() const { return probes_; }

 private:
  std::vector<Probe> probes_;
  StressCounters& counters_;
  std::vector<float> left_, right_;
};

}  // namespace stress
