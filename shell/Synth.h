// The maker's shell between the VST2 adapter and the product: what its instruments share
// (configuration, MIDI settings and queue, held keys, copy and paste, program switching).
#pragma once

#include "vst2/IPlugVST.h"

class Synth : public IPlugVST {
 public:
  Synth(vst::HostCallback host, int paramCount, const char* channelIO, int programCount, const char* effectName,
        const char* productName, const char* vendorName, std::uint32_t versionWord, std::uint32_t uniqueId);
  ~Synth() override;

  virtual void AllNotesOff() override {}
  // Stores the current values into the current program, then switches to index and tells
  // the host. Takes the plug-in lock.
  virtual void SwitchProgram(int index);
  // Resets the current program; the product fills in what that means.
  virtual void InitProgram() {}
};
