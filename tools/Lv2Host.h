// A small LV2 host over lilv: loads a bundle, instantiates its plug-in with the features an
// ordinary host offers, runs it block by block with timed MIDI, and saves, restores and
// applies state and presets. Used by the renderer (--lv2), the LV2 tests and the
// benchmark. One thread drives a host at a time; Run is that thread's "audio thread".
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>

struct Lv2HostSettings {
  double sampleRate = 44100.0;
  int blockSize = 512;      // announced as both the nominal and the largest block length
  bool offerWorker = true;  // work:schedule (work runs synchronously after each Run)
  bool offerOptions = true;
  bool offerLog = true;
};

class Lv2Host {
 public:
  struct StateValue {
    std::string type;  // the value's type URI
    std::vector<std::uint8_t> bytes;
  };
  // Saved state by key URI.
  using State = std::map<std::string, StateValue>;
  struct MidiOut {
    std::int64_t frame;
    std::vector<std::uint8_t> bytes;
  };
  struct Preset {
    std::string uri;
    std::string label;
  };

  Lv2Host();
  ~Lv2Host();
  Lv2Host(const Lv2Host&) = delete;
  Lv2Host& operator=(const Lv2Host&) = delete;

  // Loads the bundle's one plug-in and instantiates it (not yet active). False with Error()
  // set when the bundle, the plug-in or the instance is missing.
  bool Load(const std::string& bundlePath, const Lv2HostSettings& settings = {});
  const std::string& Error() const { return error_; }
  const std::string& PluginUri() const { return pluginUri_; }
  LV2_Handle Handle() const;
  void Activate();
  void Deactivate();

  // Events for the next Run, at frames from its start, kept in the order given.
  void AddMidi(std::int64_t frame, const std::vector<std::uint8_t>& bytes);
  void AddAtom(std::int64_t frame, const std::string& typeUri, const void* body, std::uint32_t size);
  // Replaces the next Run's events with these bytes (after the sequence's time unit and
  // padding) and declares the sequence body `declaredSize` bytes long (at most the 64 KiB
  // buffer): inputs that no well-behaved host makes.
  void SetRawSequence(const std::vector<std::uint8_t>& events, std::uint32_t declaredSize);
  // Asks the plug-in (patch:Set) to load an FXP/FXB file through its file property.
  void RequestFile(std::int64_t frame, const std::string& path);
  // Runs frames (may exceed the block size, to test hosts that do). Audio in Left()/Right().
  void Run(int frames) {
    PrepareRun(frames);
    RunPlugin(frames);
    FinishRun();
  }
  // Run in its three steps, for tests that watch the plug-in's own part: the input sequence
  // and buffers; the plug-in's run call alone; the output and the worker.
  void PrepareRun(int frames);
  void RunPlugin(int frames);
  void FinishRun();
  const std::vector<float>& Left() const { return left_; }
  const std::vector<float>& Right() const { return right_; }
  // MIDI the last Run sent out; and its other events' type URIs (patch messages).
  const std::vector<MidiOut>& MidiOutput() const { return midiOut_; }
  const std::vector<std::string>& OtherOutput() const { return otherOut_; }

  // The parameter ports by parameter index (0 ... 50), as plain values.
  float& Control(int index);

  // The plug-in's state interface, called directly.
  bool SaveState(State* state);
  int RestoreState(const State& state);  // the LV2_State_Status
  // Saves the state with its port values into a state bundle directory (as jalv and other
  // lilv hosts read it); false when it cannot be written.
  bool SaveStateDirectory(const std::string& directory);
  std::vector<Preset> Presets();
  // Applies a preset as lilv hosts do: its state, then its port values.
  bool ApplyPreset(const std::string& uri);

  std::uint32_t Map(const char* uri);
  // The URID map and unmap features this host offers (for a UI of the same instance).
  const LV2_Feature* MapFeature() const;
  const LV2_Feature* UnmapFeature() const;
  const std::vector<std::string>& LogMessages() const { return log_; }

  struct Impl;  // the lilv side (tools/Lv2HostImpl.h)

 private:
  std::unique_ptr<Impl> impl_;
  std::string error_;
  std::string pluginUri_;
  std::vector<float> left_;
  std::vector<float> right_;
  std::vector<MidiOut> midiOut_;
  std::vector<std::string> otherOut_;
  std::vector<std::string> log_;
};
