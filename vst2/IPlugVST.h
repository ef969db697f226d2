// The VST 2.4 adapter: the effect record, the dispatcher, the process and parameter entries,
// and every request the plug-in makes of its host. Only this class knows opcodes, frame
// offsets and the host's buffers; it checks every index, pointer and size a host sends.
#pragma once

#include <cstdint>

#include "core/IPlugBase.h"
#include "vst2/VstAbi.h"

class IPlugVST : public IPlugBase, private EditorFrame {
 public:
  // Sample rates outside this range are refused: below it the control tick would be empty,
  // above it the effect delay lines would be absurdly long.
  static constexpr double kMinSampleRate = 1000.0;
  static constexpr double kMaxSampleRate = 768000.0;
  static constexpr int kDefaultBlockSize = 1024;

  IPlugVST(vst::HostCallback host, int paramCount, const char* channelIO, int programCount, const char* effectName,
           const char* productName, const char* vendorName, std::uint32_t versionWord, std::uint32_t uniqueId,
           bool isInstrument, bool doesMidi);
  ~IPlugVST() override;

  vst::AEffect* Effect() { return &effect_; }
  static IPlugVST* FromEffect(vst::AEffect* effect);

  // The host entries (the effect record points at static trampolines that land here).
  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt);
  void ProcessSingle(float** inputs, float** outputs, int frames, bool accumulate);
  void ProcessDouble(double** inputs, double** outputs, int frames);

  // ---- Requests to the host ----------------------------------------------------------------
  void BeginParamGesture(int index) override;
  void ReportParamValue(int index, double normalised) override;
  void EndParamGesture(int index) override;
  void ReportProgramChange() override;
  bool IsOfflineRender() override;
  double TransportSamplePosition() override;
  double TransportTempo() override;
  void TransportTimeSignature(int* numerator, int* denominator) override;
  void TransportFull(TransportState* state) override;
  int IdentifyHost() override;
  void ResizeEditor(int width, int height) override;
  void AdaptToHost() override;
  void AttachEditor(EditorView* editor) override;
  void ChangeLatency(int samples) override;
  bool SendMidiOut(const MidiMessage& message) override;
  bool SendSysExOut(const SysExMessage& message) override;

  // True when the host's vendor is one that mixes up bank and program chunk requests.
  bool HostWantsProgramChunks();
  std::uint32_t HostExtensions() const { return hostExtensions_; }
  // The host id for a product text (lower-cased inside); 0 when no known name occurs.
  static int HostIdForProduct(const char* product);
  // A decimal host version (10203) in packed form (0x010203).
  static int PackHostVersion(int decimal);

 protected:
  std::intptr_t CallHost(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);

 private:
  // Editor open, close, idle and size, and the host's idle: without the plug-in lock.
  std::intptr_t DispatchEditor(std::int32_t opcode, void* ptr);
  // The editor's size changed: effEditGetRect answers it from now on, and the host is asked
  // to fit its window (audioMasterSizeWindow); false when the host does not do so.
  bool EditorResizeRequested(int width, int height) override;
  std::intptr_t GetChunk(bool bank, void** out);
  std::intptr_t SetChunk(bool bank, const void* data, std::intptr_t size);
  std::intptr_t StringToParameter(int index, const char* text);
  std::intptr_t PinProperties(bool input, int index, vst::VstPinProperties* out);
  void ProcessEvents(const vst::VstEvents* events);
  // Asks the host to keep sending MIDI, at the first process call after construction and
  // after each resume.
  void AskForMidi();
  void SetSpeakerArrangement(const vst::VstSpeakerArrangement* arrangement, bool input);
  std::intptr_t CanDo(const char* text);
  void UpdateSpeakerArrangements();

  vst::AEffect effect_{};
  vst::HostCallback host_ = nullptr;
  vst::VstSpeakerArrangement inputArrangement_{};
  vst::VstSpeakerArrangement outputArrangement_{};
  vst::ERect editorRect_{};
  ChunkBuffer bankChunk_;
  ChunkBuffer programChunk_;
  std::uint32_t hostExtensions_ = 0;
  bool adapted_ = false;
  bool midiAsked_ = false;
  bool vendorTested_ = false;
  bool vendorWantsProgramChunks_ = false;
};
