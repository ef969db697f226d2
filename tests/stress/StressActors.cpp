// The actors of the stress test.
#include "tests/stress/StressActors.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "tests/engine/SignalMeasure.h"
#include "tools/HostPrograms.h"

namespace stress {
namespace {

double Uniform(Random& random) { return std::uniform_real_distribution<double>(0.0, 1.0)(random); }
int Below(Random& random, int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); }

// A host's threads do other work between calls; a short pause keeps one thread from
// holding the plug-in lock all the time without slowing the run much.
void Pause(Random& random, int maxMicroseconds) {
  std::this_thread::sleep_for(std::chrono::microseconds(Below(random, maxMicroseconds)));
}

// The list record with room for every pointer, as hosts allocate it.
struct EventList {
  std::vector<std::uint8_t> bytes;
  vst::VstEvents* Build(const std::vector<vst::VstEvent*>& events) {
    bytes.assign(sizeof(vst::VstEvents) + events.size() * sizeof(vst::VstEvent*), 0);
    auto* list = reinterpret_cast<vst::VstEvents*>(bytes.data());
    list->numEvents = static_cast<std::int32_t>(events.size());
    std::memcpy(list->events, events.data(), events.size() * sizeof(vst::VstEvent*));
    return list;
  }
};

template <typename T>
long CountNonFinite(const std::vector<T>& samples, int frames) {
  long bad = 0;
  for (int i = 0; i < frames; ++i) bad += std::isfinite(samples[static_cast<std::size_t>(i)]) ? 0 : 1;
  return bad;
}

}  // namespace

void Configure(PluginHost& host, float sampleRate, int blockSize) {
  host.Dispatch(vst::effMainsChanged, 0, 0);
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, sampleRate);
  host.Dispatch(vst::effSetBlockSize, 0, blockSize);
  host.Dispatch(vst::effMainsChanged, 0, 1);
}

// Sustain at full level, the fastest release and no effect.
double PeakAfterEveryNoteOff(PluginHost& host) {
  const struct {
    int index;
    float value;
  } settings[] = {{0, 1.0f},  {16, 1.0f}, {17, 0.0f}, {19, 0.5f}, {25, 0.0f},
                  {26, 0.0f}, {28, 1.0f}, {29, 0.0f}, {33, 0.0f}, {34, 0.0f}};
  for (const auto& s : settings) host.SetParameter(s.index, s.value);
  std::vector<float> left, right;
  double peak = 0.0;
  const int frames = 4096;
  for (int block = 0; block < 8; ++block) {
    host.ProcessReplacing(left, right, frames);
    if (block < 6) continue;  // the release and the filter settle first
    for (int s = 0; s < frames; ++s) peak = std::max({peak, std::fabs(double(left[s])), std::fabs(double(right[s]))});
  }
  return peak;
}

// ---- Audio --------------------------------------------------------------------------------------

AudioActor::AudioActor(PluginHost& host, int blockSize, StressCounters& counters)
    : host_(host), blockSize_(blockSize), counters_(counters) {
  const auto n = static_cast<std::size_t>(blockSize);
  left_.resize(n);
  right_.resize(n);
  input_.assign(n, 0.0f);
  leftDouble_.resize(n);
  rightDouble_.resize(n);
  inputDouble_.assign(n, 0.0);
}

void AudioActor::Step(Random& random) {
  std::vector<Event> events;
  auto add = [&](std::vector<std::uint8_t> bytes) { events.push_back({Below(random, blockSize_), std::move(bytes)}); };
  // Notes that have lasted their time end (velocity-0 note ons count as note offs).
  for (HeldNote& note : held_) {
    if (--note.blocksLeft > 0) continue;
    add({static_cast<std::uint8_t>(Below(random, 2) ? 0x80 : 0x90), static_cast<std::uint8_t>(note.key), 0});
  }
  std::erase_if(held_, [](const HeldNote& note) { return note.blocksLeft <= 0; });
  // New notes on keys that are not down; each off above comes before any new note on.
  for (int k = 0; k < 3; ++k) {
    if (Uniform(random) > 0.3) continue;
    const int key = 36 + Below(random, 60);
    if (std::any_of(held_.begin(), held_.end(), [key](const HeldNote& n) { return n.key == key; })) continue;
    if (std::any_of(events.begin(), events.end(), [key](const Event& e) { return e.bytes[1] == key; })) continue;
    add({0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(1 + Below(random, 127))});
    held_.push_back({key, 1 + Below(random, 20)});
    ++counters_.notes;
  }
  const double roll = Uniform(random);
  if (roll < 0.02) {
    pedal_ = !pedal_;
    add({0xB0, 64, static_cast<std::uint8_t>(pedal_ ? 127 : 0)});
  } else if (roll < 0.07) {
    add({0xE0, static_cast<std::uint8_t>(Below(random, 128)), static_cast<std::uint8_t>(Below(random, 128))});
  } else if (roll < 0.12) {
    add({0xB0, 1, static_cast<std::uint8_t>(Below(random, 128))});
  } else if (roll < 0.13) {
    add({0xC0, static_cast<std::uint8_t>(Below(random, 64)), 0});
  } else if (roll < 0.16) {
    std::vector<std::uint8_t> dump(2 + Below(random, 64));
    for (auto& byte : dump) byte = static_cast<std::uint8_t>(Below(random, 128));
    dump.front() = 0xF0;
    dump.back() = 0xF7;
    add(std::move(dump));
    ++counters_.sysex;
  }
  // Hosts send a block's events in time order; equal offsets keep their order.
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.offset < b.offset; });
  Send(events);
  Render(Below(random, 3));
  // A host's audio thread waits for the next buffer; rendering back to back would keep
  // the plug-in lock from the other threads nearly all the time.
  Pause(random, 100);
}

void AudioActor::Finish() {
  std::vector<Event> events;
  for (const HeldNote& note : held_) events.push_back({0, {0x80, static_cast<std::uint8_t>(note.key), 0}});
  events.push_back({0, {0xB0, 64, 0}});
  held_.clear();
  pedal_ = false;
  Send(events);
  Render(0);
}

void AudioActor::Send(std::vector<Event>& events) {
  if (events.empty()) return;
  std::vector<vst::VstMidiEvent> midi;
  std::vector<vst::VstMidiSysexEvent> dumps;
  midi.reserve(events.size());
  dumps.reserve(events.size());
  std::vector<vst::VstEvent*> order;
  for (Event& event : events) {
    if (event.bytes.front() == 0xF0) {
      vst::VstMidiSysexEvent e{};
      e.type = vst::kSysExType;
      e.byteSize = sizeof(e);
      e.deltaFrames = event.offset;
      e.dumpBytes = static_cast<std::int32_t>(event.bytes.size());
      e.sysexDump = reinterpret_cast<char*>(event.bytes.data());
      dumps.push_back(e);
      order.push_back(reinterpret_cast<vst::VstEvent*>(&dumps.back()));
    } else {
      vst::VstMidiEvent e{};
      e.type = vst::kMidiType;
      e.byteSize = sizeof(e);
      e.deltaFrames = event.offset;
      for (int i = 0; i < 3; ++i) e.midiData[i] = static_cast<char>(event.bytes[static_cast<std::size_t>(i)]);
      midi.push_back(e);
      order.push_back(reinterpret_cast<vst::VstEvent*>(&midi.back()));
    }
  }
  EventList list;
  host_.Dispatch(vst::effProcessEvents, 0, 0, list.Build(order));
}

void AudioActor::Render(int entry) {
  vst::AEffect* e = host_.Effect();
  if (entry == 2) {
    double* in[1] = {inputDouble_.data()};
    double* out[2] = {leftDouble_.data(), rightDouble_.data()};
    e->processDoubleReplacing(e, in, out, blockSize_);
    counters_.nonFinite += CountNonFinite(leftDouble_, blockSize_) + CountNonFinite(rightDouble_, blockSize_);
  } else {
    float* in[1] = {input_.data()};
    float* out[2] = {left_.data(), right_.data()};
    std::fill(left_.begin(), left_.end(), 0.0f);
    std::fill(right_.begin(), right_.end(), 0.0f);
    if (entry == 1) {
      e->process(e, in, out, blockSize_);
    } else {
      e->processReplacing(e, in, out, blockSize_);
    }
    counters_.nonFinite += CountNonFinite(left_, blockSize_) + CountNonFinite(right_, blockSize_);
  }
  ++counters_.blocks;
}

// ---- Host automation ------------------------------------------------------------------------------

HostActor::HostActor(std::vector<PluginHost*> hosts, PluginHost* rateChanging, std::vector<float> rates,
                     StressCounters& counters)
    : hosts_(std::move(hosts)), rateChanging_(rateChanging), rates_(std::move(rates)), counters_(counters) {}

void HostActor::Step(Random& random) {
  PluginHost& host = *hosts_[static_cast<std::size_t>(Below(random, static_cast<int>(hosts_.size())))];
  vst::AEffect* e = host.Effect();
  const int roll = Below(random, 1000);
  if (roll < 2 && rateChanging_ != nullptr) {
    // Stop, new rate, start again, as a host does when the project's rate changes.
    rateChanging_->Dispatch(vst::effMainsChanged, 0, 0);
    rateChanging_->Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rates_[static_cast<std::size_t>(Below(random, 2))]);
    rateChanging_->Dispatch(vst::effMainsChanged, 0, 1);
    ++counters_.rateChanges;
  } else if (roll < 20) {
    const int indexes[] = {-1, 51, 1000, Below(random, 51)};
    const float values[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -0.5f,
                            1.5f};
    e->setParameter(e, indexes[Below(random, 4)], values[Below(random, 4)]);
  } else if (roll < 100) {
    char text[256] = {};
    const std::int32_t opcodes[] = {vst::effGetParamDisplay, vst::effGetParamName, vst::effGetParamLabel};
    host.Dispatch(opcodes[Below(random, 3)], Below(random, 53) - 1, 0, text);
  } else {
    const int index = Below(random, 51);
    e->setParameter(e, index, static_cast<float>(Uniform(random)));
    if (!std::isfinite(e->getParameter(e, index))) ++counters_.nonFinite;
    ++counters_.parameterChanges;
  }
  Pause(random, 50);
}

// ---- User interface --------------------------------------------------------------------------------

UserInterfaceActor::UserInterfaceActor(std::vector<PluginHost*> hosts, std::vector<std::string> files,
                                       StressCounters& counters)
    : hosts_(std::move(hosts)), files_(std::move(files)), counters_(counters) {}

void UserInterfaceActor::Step(Random& random) {
  const auto pick = [&] { return hosts_[static_cast<std::size_t>(Below(random, static_cast<int>(hosts_.size())))]; };
  PluginHost& host = *pick();
  const int roll = Below(random, 100);
  if (roll < 30) {
    // Now and then a number a careless host might send.
    const std::intptr_t odd[] = {-1, 64, std::intptr_t{1} << 40};
    host.Dispatch(vst::effSetProgram, 0, Below(random, 50) == 0 ? odd[Below(random, 3)] : Below(random, 64));
    ++counters_.programSwitches;
  } else if (roll < 40) {
    std::string name(static_cast<std::size_t>(Below(random, 40)), ' ');
    for (char& c : name)
      c = static_cast<char>(Below(random, 8) == 0 ? 0x80 + Below(random, 128) : 32 + Below(random, 95));
    host.Dispatch(vst::effSetProgramName, 0, 0, name.data());
    ++counters_.renames;
  } else if (roll < 50) {
    char text[256] = {};
    host.Dispatch(vst::effGetProgramName, 0, 0, text);
    host.Dispatch(vst::effGetProgramNameIndexed, Below(random, 66) - 1, 0, text);
  } else if (roll < 85) {
    // A chunk, now and then damaged on purpose, restored.
    const int index = Below(random, 2);
    void* data = nullptr;
    const std::intptr_t size = host.Dispatch(vst::effGetChunk, index, 0, &data);
    if (size <= 0 || data == nullptr) {
      ++counters_.missingChunks;
      return;
    }
    std::vector<std::uint8_t> chunk(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    const bool damage = roll >= 75;
    if (damage) {
      if (Below(random, 2) == 0) {
        chunk.resize(static_cast<std::size_t>(Below(random, static_cast<int>(chunk.size()))));
      } else {
        for (int i = 0; i < 4; ++i)
          chunk[static_cast<std::size_t>(Below(random, static_cast<int>(chunk.size())))] ^= 0xFF;
      }
    }
    // A program chunk goes into either instance; a bank chunk (which a host that asks for
    // program chunks never makes) back into its own.
    PluginHost& target = index == 1 ? *pick() : host;
    const std::intptr_t answer =
        target.Dispatch(vst::effSetChunk, index, static_cast<std::intptr_t>(chunk.size()), chunk.data());
    if (damage) {
      counters_.chunksRefused += answer == 0 ? 1 : 0;
    } else if (answer == 1) {
      ++counters_.chunkRoundTrips;
    } else {
      ++counters_.ownChunksRefused;
    }
  } else {
    std::vector<std::uint8_t> bytes;
    std::string error;
    const std::string& path = files_[static_cast<std::size_t>(Below(random, static_cast<int>(files_.size())))];
    if (ReadWholeFile(path, &bytes) && LoadProgramFile(host, bytes, &error)) {
      ++counters_.filesLoaded;
    } else {
      ++counters_.goodFilesRefused;
    }
  }
  Pause(random, 200);
}

// ---- Tuning probe -----------------------------------------------------------------------------------

TuningProbeActor::TuningProbeActor(std::vector<Probe> probes, StressCounters& counters)
    : probes_(std::move(probes)), counters_(counters) {}

void TuningProbeActor::Step(Random&) {
  constexpr int kFrames = 256;
  for (Probe& probe : probes_) {
    probe.host->ProcessReplacing(left_, right_, kFrames);
    counters_.nonFinite += CountNonFinite(left_, kFrames) + CountNonFinite(right_, kFrames);
    probe.window.insert(probe.window.end(), left_.begin(), left_.end());
    if (probe.window.size() < static_cast<std::size_t>(0.2 * probe.sampleRate)) continue;
    double peak = 0.0;
    for (double v : probe.window) peak = std::max(peak, std::fabs(v));
    const double hz = engine_test::ZeroCrossingFrequency(probe.window, probe.sampleRate, 0.2 * peak);
    const double cents = hz > 0.0 ? std::fabs(engine_test::Cents(hz, 440.0)) : 1200.0;
    probe.worstCents = std::max(probe.worstCents, cents);
    ++probe.windows;
    probe.window.clear();
  }
}

}  // namespace stress
