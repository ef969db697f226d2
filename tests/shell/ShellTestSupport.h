// Shared by the shell and file tests: a temporary home for the plug-in's settings, and a
// host callback that records what an in-process instance asks of its host.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/MidiMessage.h"
#include "tests/platform/TempHome.h"
#include "vst2/VstAbi.h"

namespace shell_test {

using ::TempHome;

// What an in-process instance told its host. One recorder at a time per process.
struct HostRecord {
  std::vector<int> requests;
  std::vector<MidiMessage> midiOut;
  struct Automation {
    int index;
    float value;
  };
  std::vector<Automation> automations;

  int Count(int opcode) const {
    int n = 0;
    for (int r : requests) n += r == opcode ? 1 : 0;
    return n;
  }
  void Clear() {
    requests.clear();
    midiOut.clear();
    automations.clear();
  }
};

inline HostRecord& Recorded() {
  static HostRecord record;
  return record;
}

inline std::intptr_t VST_CALL RecordingHost(vst::AEffect*, std::int32_t opcode, std::int32_t index, std::intptr_t,
                                            void* ptr, float opt) {
  HostRecord& record = Recorded();
  record.requests.push_back(opcode);
  if (opcode == vst::audioMasterAutomate) record.automations.push_back({index, opt});
  if (opcode == vst::audioMasterProcessEvents && ptr != nullptr) {
    const auto* list = static_cast<const vst::VstEvents*>(ptr);
    const vst::VstEvent* const* events = list->events;  // may hold more than the declared two
    for (int i = 0; i < list->numEvents; ++i) {
      const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(events[i]);
      record.midiOut.push_back({midi->deltaFrames, static_cast<std::uint8_t>(midi->midiData[0]),
                                static_cast<std::uint8_t>(midi->midiData[1]),
                                static_cast<std::uint8_t>(midi->midiData[2])});
    }
    return 1;
  }
  if (opcode == vst::audioMasterVersion) return 2400;
  return 0;
}

}  // namespace shell_test
