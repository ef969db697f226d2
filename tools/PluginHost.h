// A small VST 2.4 host: loads a plug-in library through its exported entry point, as every
// host does, and records what the plug-in asks of it. Used by the integration tests, the
// renderer, the benchmarks and the standalone program. One thread drives a PluginHost at a
// time; the plug-in may call back from any of its threads (the editor's edits and the audio
// thread's output at once).
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/MidiMessage.h"
#include "vst2/VstAbi.h"

class PluginHost {
 public:
  PluginHost() = default;
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // Loads the library once per process (later calls reuse it) and creates an instance.
  // Answers false with Error() set when the library, its entry point or the instance is
  // missing.
  bool Load(const std::string& libraryPath);
  // Creates an instance through an entry procedure already in this process (a plug-in
  // built into the test itself), as Load does after finding the library's.
  bool Create(vst::EntryProc entry);
  const std::string& Error() const { return error_; }
  vst::AEffect* Effect() const { return effect_; }

  // What this host tells the plug-in about itself.
  std::string productString = "Tesvar Test Host";
  std::string vendorString = "Quellmark Test";
  int vendorVersion = 10203;
  int processLevel = 1;
  // Off for a real-time host: the plug-in's requests are answered as below but recorded
  // nowhere, so an answer allocates nothing and takes no lock (the audio thread asks on
  // every block). Set before the audio thread starts.
  bool recording = true;
  // The time record answered to audioMasterGetTime; null when hasTime is false.
  bool hasTime = false;
  vst::VstTimeInfo timeInfo{};

  // What the plug-in told this host.
  struct Automation {
    int index;
    float value;
  };
  std::vector<Automation> automations;
  // Edits from the plug-in's editor in order: begin (43), automate (0) and end (44) requests.
  struct EditEvent {
    int opcode;
    int index;
    float value;
  };
  std::vector<EditEvent> editEvents;
  std::vector<MidiMessage> midiOut;
  std::vector<int> requests;  // every host opcode asked, in order (while recording)
  // The editor asked for another window size (audioMasterSizeWindow): called on the thread
  // that asked, without the records' lock; its answer is the host's (true: done). Without a
  // handler the host refuses.
  std::function<bool(int width, int height)> resizeWindow;

  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
  // Opens the instance, sets rate and block size and switches processing on.
  void Start(double sampleRate = 44100.0, int blockSize = 512);
  void SendMidi(const std::vector<MidiMessage>& messages);
  void ProcessReplacing(std::vector<float>& left, std::vector<float>& right, int frames);
  void ProcessAccumulating(std::vector<float>& left, std::vector<float>& right, int frames);
  void ProcessDouble(std::vector<double>& left, std::vector<double>& right, int frames);
  float GetParameter(int index);
  void SetParameter(int index, float value);
  std::string Text(std::int32_t opcode, int index, std::size_t size = 256);
  // Destroys the instance (effClose).
  void Close();

  std::intptr_t Answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt);

 private:
  void Record(std::int32_t opcode, std::int32_t index, void* ptr, float opt);
  vst::AEffect* effect_ = nullptr;
  std::string error_;
  std::mutex recording_;  // the records above, written from the plug-in's threads
};
