// The plug-in core: parameter records, program slots, channel records and the plug-in lock,
// with the binary state formats. The adapter (IPlugVST), the shell (Synth) and the product
// (Tesvar) derive from it and fill its hooks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ChunkBuffer.h"
#include "core/EditorView.h"
#include "core/MidiMessage.h"
#include "core/ParamRecord.h"
#include "platform/Platform.h"

// Debug trace hook: a location, a line and a message. It does nothing in the delivered build.
inline void Trace(const char* /*location*/, int /*line*/, const char* /*format*/, ...) {}

struct ProgramSlot {
  static constexpr std::size_t kMaxNameLength = 255;
  bool initialised = false;
  std::string name = "empty";
  ChunkBuffer state;  // one state body as written by WriteState
};

struct ChannelRecord {
  bool connected = false;
  double** slot = nullptr;      // this channel's entry in the pointer array
  float* hostBuffer = nullptr;  // outputs: the host's buffer of the current call
  std::vector<double> scratch;  // block-size doubles
  std::string label;            // empty when none
};

class IPlugBase {
 public:
  static constexpr int kMaxNameText = 127;

  // channelIO: legal configurations such as "1-0 0-2" (inputs-outputs, blank separated).
  IPlugBase(int paramCount, const char* channelIO, int programCount, const char* effectName, const char* productName,
            const char* vendorName, std::uint32_t versionWord, std::uint32_t uniqueId, bool isInstrument,
            bool doesMidi);
  virtual ~IPlugBase();
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- Hooks ------------------------------------------------------------------------------
  virtual void ResetEngine() {}
  virtual void ParameterChanged(int index) {}
  // Double-precision audio: the default copies inputs to outputs and zeroes the rest.
  virtual void RenderBlock(double** inputs, double** outputs, int frames);
  virtual void EditorOpened() {}
  virtual void EditorClosed() {}
  // The host's user-interface thread without the plug-in lock (editor idle, host idle and the
  // editor's quiet timer ticks): take the lock where needed.
  virtual void IdleTick() {}
  virtual void ActivationChanged(bool active) {}
  virtual void HandleMidi(const MidiMessage& message) {}
  virtual void HandleSysEx(const SysExMessage& message) {}
  virtual bool MidiKeyName(int key, char* text);
  virtual bool WriteState(ChunkBuffer& buffer) { return SerializeParams(buffer); }
  virtual int ReadState(const ChunkBuffer& buffer, int pos) { return UnserializeParams(buffer, pos); }
  // True when every parameter, in single precision, differs by less than 0.00001 from values.
  virtual bool StateMatches(const double* values) const;
  virtual void HostIdentified() {}
  virtual void SetParamFromEditor(int index, double normalised);
  virtual void BeginParamGesture(int index) {}
  virtual void ReportParamValue(int index, double normalised) {}
  virtual void EndParamGesture(int index) {}
  virtual void ReportProgramChange() {}
  virtual bool IsOfflineRender() { return false; }
  virtual double TransportSamplePosition() { return 0.0; }
  virtual double TransportTempo() { return 0.0; }
  virtual void TransportTimeSignature(int* numerator, int* denominator);
  virtual void TransportFull(TransportState* state) {}
  virtual int IdentifyHost() { return hostId_; }
  virtual void ResizeEditor(int width, int height) {}
  virtual void AdaptToHost() {}
  virtual void AttachEditor(EditorView* editor);
  virtual void ChangeLatency(int samples) { latency_ = samples; }
  virtual bool SendMidiOut(const MidiMessage& message) { return false; }
  virtual bool SendSysExOut(const SysExMessage& message) { return false; }
  virtual void RefreshControls();
  virtual int UnserializePresets(const ChunkBuffer& buffer, int pos);
  virtual void ModifyCurrentPreset(const char* name);
  virtual bool SelectPreset(int index);
  virtual void ProgramSwitched() {}
  virtual void ChangeSampleRate(double rate) { sampleRate_ = rate; }
  virtual void ChangeBlockSize(int frames);
  virtual void AllNotesOff() {}

  // ---- Parameters -------------------------------------------------------------------------
  int ParamCount() const { return static_cast<int>(params_.size()); }
  bool ValidParam(int index) const { return index >= 0 && index < ParamCount(); }
  ParamRecord* GetParam(int index) { return ValidParam(index) ? &params_[index] : nullptr; }
  const ParamRecord* GetParam(int index) const { return ValidParam(index) ? &params_[index] : nullptr; }
  // The host's entries: both take the plug-in lock.
  float HostGetParameter(int index);
  void HostSetParameter(int index, float normalised);
  // Reports every parameter's normalised value to the host, under the lock.
  void ReportAllParams();

  // ---- Programs ---------------------------------------------------------------------------
  int ProgramCount() const { return static_cast<int>(programs_.size()); }
  int CurrentProgram() const { return currentProgram_; }
  bool ValidProgram(int index) const { return index >= 0 && index < ProgramCount(); }
  // The slot's name, or an empty text for an index out of range.
  std::string ProgramName(int index) const;
  const ProgramSlot* GetProgram(int index) const { return ValidProgram(index) ? &programs_[index] : nullptr; }
  // Every slot that is not initialised becomes "Empty" with the current parameters.
  void MakeDefaultPrograms();
  bool SerializePresets(ChunkBuffer& buffer);
  // ReadState, all or nothing: when the body is refused or cut short, the state from before
  // the call is read back, so damaged data never leaves half a program sounding. Called
  // with the lock held (user-interface thread: it allocates).
  int ReadWholeState(const ChunkBuffer& buffer, int pos);
  bool SerializeParams(ChunkBuffer& buffer);
  int UnserializeParams(const ChunkBuffer& buffer, int pos);

  // ---- Audio and channels -----------------------------------------------------------------
  double SampleRate() const { return sampleRate_; }
  int BlockSize() const { return blockSize_; }
  int InputCount() const { return static_cast<int>(inputs_.size()); }
  int OutputCount() const { return static_cast<int>(outputs_.size()); }
  ChannelRecord& Input(int i) { return inputs_[i]; }
  ChannelRecord& Output(int i) { return outputs_[i]; }
  double** InputPointers() { return inputPointers_.data(); }
  double** OutputPointers() { return outputPointers_.data(); }
  // Whether a configuration with exactly `inputs` inputs is legal (any output count).
  bool LegalIO(int inputs) const;
  int Latency() const { return latency_; }
  int TailSize() const { return tailSize_; }

  // ---- Identity -----------------------------------------------------------------------------
  const char* EffectName() const { return effectName_; }
  const char* ProductName() const { return productName_; }
  const char* VendorName() const { return vendorName_; }
  std::uint32_t VersionWord() const { return versionWord_; }
  // major * 10000 + minor * 100 + patch, the form hosts and files see.
  int DecimalVersion() const;
  std::uint32_t UniqueId() const { return uniqueId_; }
  bool IsInstrument() const { return isInstrument_; }
  bool DoesMidi() const { return doesMidi_; }
  EditorView* Editor() const { return editor_; }
  int HostId() const { return hostId_; }
  int HostVersion() const { return hostVersion_; }

  // ---- The plug-in lock ---------------------------------------------------------------------
  platform::CriticalSection& Lock() { return lock_; }

 protected:
  void SetHostIdentity(int id, int version) {
    hostId_ = id;
    hostVersion_ = version;
  }
  ParamRecord& Param(int index) { return params_[index]; }
  void SetProgramName(int index, const std::string& name);
  // Connects or disconnects a channel; a disconnected channel's slot points at its scratch.
  void SetChannelConnected(bool isInput, int index, bool connected);

 private:
  platform::CriticalSection lock_;  // created first, destroyed last
  std::vector<ParamRecord> params_;
  std::vector<ProgramSlot> programs_;
  int currentProgram_ = 0;
  std::vector<std::pair<int, int>> channelIO_;
  std::vector<ChannelRecord> inputs_;
  std::vector<ChannelRecord> outputs_;
  std::vector<double*> inputPointers_;
  std::vector<double*> outputPointers_;
  double sampleRate_ = 44100.0;
  int blockSize_ = 0;
  int latency_ = 0;
  int tailSize_ = 0;
  char effectName_[kMaxNameText + 1] = {};
  char productName_[kMaxNameText + 1] = {};
  char vendorName_[kMaxNameText + 1] = {};
  std::uint32_t versionWord_ = 0;
  std::uint32_t uniqueId_ = 0;
  bool isInstrument_ = false;
  bool doesMidi_ = false;
  EditorView* editor_ = nullptr;
  int hostId_ = -1;
  int hostVersion_ = 0;
};
