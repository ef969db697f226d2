// One instance of the LV2 plug-in: the ports, the run call, saved state and the file
// property, over an EffectLink to the plug-in itself. The LV2 descriptor (Descriptor.cpp)
// and the editor's UI (Ui.cpp) call in here.
//
// Threads, as LV2 defines them: Create, ConnectPort, Activate, Deactivate and the
// destructor in the instantiation class; Run, WorkResponse in the audio class; Save,
// Restore and Work on other threads, possibly while Run runs (the plug-in's lock keeps them
// apart); the Ui* calls on the host's user-interface thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/log/logger.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include "lv2/ControlPorts.h"
#include "lv2/EffectLink.h"
#include "lv2/ParamEcho.h"
#include "lv2/SequenceOut.h"

namespace lv2 {

// What the instance needs of an open editor UI. Called on the user-interface thread only.
class UiPeer {
 public:
  virtual ~UiPeer() = default;
  // Tells the host a parameter's new plain value (the UI's write function).
  virtual void WriteParam(int index, float plain) = 0;
  // The editor started or ended a gesture on the parameter (the host's touch feature).
  virtual void Touch(int index, bool grabbed) = 0;
  // The editor's new size in pixels: the UI's window and the host's (ui:resize) follow.
  virtual bool Resize(int width, int height) = 0;
};

class Instance final : public EffectLink::Listener {
 public:
  // An instance of the plug-in that `entry` (its VST2 entry point) makes. Null, after
  // logging why when the host gives a log, when a required feature is missing or the
  // plug-in refuses the rate.
  static std::unique_ptr<Instance> Create(vst::EntryProc entry, double sampleRate, const LV2_Feature* const* features);
  ~Instance() override = default;
  // Whether an instance-access handle is one of these (a UI checks before it trusts one).
  bool IsTesvar() const { return magic_ == kMagic; }

  void ConnectPort(std::uint32_t port, void* data);
  void Activate() { link_.SetActive(true); }
  void Deactivate() { link_.SetActive(false); }
  void Run(std::uint32_t frames);

  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
  LV2_Worker_Status Work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle, std::uint32_t size,
                         const void* data);
  LV2_Worker_Status WorkResponse(std::uint32_t size, const void* data);

  // ---- The editor's UI (user-interface thread) ---------------------------------------------
  // At most one UI at a time: false when another is attached.
  bool AttachUi(UiPeer* ui);
  void DetachUi(UiPeer* ui);
  EffectLink& Link() { return link_; }
  // Tells the host every value the plug-in changed itself since the last call, through the
  // UI. hostValue(index, plain) answers whether the host already has that value.
  template <typename HostHas>
  void EchoToHost(UiPeer& ui, HostHas hostHas) {
    echo_.Take([&](int index) {
      const auto plain = static_cast<float>(ControlPorts::Plain(index, link_.Normalised(index)));
      if (!hostHas(index, plain)) ui.WriteParam(index, plain);
    });
  }
  void EchoAll() { echo_.MarkAll(); }

  // ---- EffectLink::Listener ---------------------------------------------------------------
  void ParamReported(int index, float normalised) override;
  void GestureBegun(int index) override;
  void GestureEnded(int index) override;
  void ProgramChanged() override;
  void MidiOut(int offset, const std::uint8_t* bytes, int size) override;
  bool EditorResized(int width, int height) override;

 private:
  struct Urids {
    LV2_URID midiEvent, atomChunk, atomInt, atomPath, atomUrid, atomObject, atomBlank, atomSequence, beatTime;
    LV2_URID patchSet, patchGet, patchProperty, patchValue;
    LV2_URID bank, program, programChunk, controls, file, maxBlockLength, nominalBlockLength;
  };
  // The longest file name the file property takes.
  static constexpr std::size_t kMaxPath = 4096;

  static constexpr std::uint64_t kMagic = 0x5465737661724c32;  // "TesvarL2"

  Instance() = default;
  bool Init(vst::EntryProc entry, double sampleRate, const LV2_Feature* const* features);
  void DeliverEvents(std::uint32_t frames);
  void HandleEvent(const LV2_Atom_Event& event, std::uint32_t frame);
  void HandlePatch(const LV2_Atom_Object& object);
  void NotifyFile(std::int64_t frame);
  bool OnUiThread() const;
  bool LoadFile(const char* path);

  std::uint64_t magic_ = kMagic;
  EffectLink link_;
  Urids urids_{};
  LV2_Log_Logger logger_{};
  const LV2_Worker_Schedule* worker_ = nullptr;
  LV2_Atom_Forge forge_{};

  const LV2_Atom_Sequence* eventsIn_ = nullptr;
  LV2_Atom_Sequence* eventsOut_ = nullptr;
  float* audio_[2] = {};  // null when the host leaves an output unconnected
  ControlPorts controls_;
  ParamEcho echo_;

  // The current run: MIDI out goes to the output sequence only from the run's own thread.
  std::atomic<std::thread::id> runThread_{};
  SequenceOut out_;
  std::uint32_t runFrames_ = 0;

  // The file property: the last file loaded (audio thread), and a notice owed to the host.
  char file_[kMaxPath + 1] = {};
  bool fileNotice_ = false;

  std::atomic<UiPeer*> ui_{nullptr};
  std::atomic<std::thread::id> uiThread_{};
};

}  // namespace lv2
