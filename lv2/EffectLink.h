// The LV2 adapter's hold on the plug-in: the VST 2.4 effect record that the library's own
// entry point makes, driven the way a host drives it. This is the one seam between the two
// formats: lv2/ reaches the product through this class alone, and nothing else in lv2/
// knows an opcode or an event record. Both formats therefore run every line of the product,
// its shell, its banks and its editor; the LV2 side adds only the translation.
//
// One link per LV2 instance. Threads, as for any VST 2.4 host: the audio thread calls the
// "audio" group, the host's user-interface thread the "editor" group, and the rest comes from
// the threads that instantiate, save and restore. The plug-in's own lock keeps them apart;
// the chunk calls are also kept apart from each other here, as the chunk they answer lives
// in the plug-in until the next chunk call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

#include "vst2/VstAbi.h"

namespace lv2 {

class EffectLink {
 public:
  // The plug-in's requests to its host. Each is called on the thread the plug-in makes it
  // on: the editor's edits on the user-interface thread, edits by MIDI controllers and MIDI
  // thru on the audio thread, program changes on any of them. None may block.
  class Listener {
   public:
    virtual ~Listener() = default;
    // A parameter changed inside the plug-in (editor, learned controller): its new
    // normalised value 0 ... 1.
    virtual void ParamReported(int index, float normalised) = 0;
    virtual void GestureBegun(int index) = 0;
    virtual void GestureEnded(int index) = 0;
    // The program changed or many values at once (program switch, bank load).
    virtual void ProgramChanged() = 0;
    // One MIDI message for MIDI out, `offset` frames into the current process call; the
    // bytes are valid during the call only.
    virtual void MidiOut(int offset, const std::uint8_t* bytes, int size) = 0;
    // The open editor asks for a new size in pixels (its Zoom changed); true when the window
    // that holds it takes the size. User-interface thread.
    virtual bool EditorResized(int width, int height) = 0;
  };

  static constexpr int kEventCapacity = 256;  // events handed over per dispatcher call
  // The largest block the plug-in is prepared for; longer runs are cut into pieces.
  static constexpr int kMaxBlockSize = 8192;

  EffectLink() = default;
  ~EffectLink();
  EffectLink(const EffectLink&) = delete;
  EffectLink& operator=(const EffectLink&) = delete;

  // Creates the plug-in through its VST2 entry point (the library's own VSTPluginMain), opens
  // it and prepares it for the rate (Hz) and the largest block (frames). False, with nothing
  // left, when the plug-in cannot be made or refuses the rate or the block size.
  bool Create(vst::EntryProc entry, Listener* listener, double sampleRate, int blockSize);
  void SetActive(bool active);
  bool Active() const { return active_; }
  int BlockSize() const { return blockSize_; }
  std::int32_t UniqueId() const { return effect_->uniqueID; }

  // ---- Audio thread ----------------------------------------------------------------------
  // Queues one message for the next FlushMidi: a channel or system message of 1 to 3 bytes,
  // or a system-exclusive message whose bytes stay valid until the flush. `offset` is in
  // frames from the start of the next Process call. A full queue is flushed first.
  void QueueMidi(int offset, const std::uint8_t* bytes, int size);
  void FlushMidi();
  // Renders frames (at most BlockSize()) into the two buffers.
  void Process(float* left, float* right, int frames);
  float Normalised(int index);
  void SetNormalised(int index, float normalised);

  // ---- Non-realtime threads (save, restore, worker) ---------------------------------------
  // Calls fn(bytes, size) with the bank chunk (all programs) or the program chunk (the
  // current program); answers false when the plug-in gives none.
  template <typename Fn>
  bool WithChunk(bool bank, Fn fn) {
    std::lock_guard<std::mutex> guard(chunkLock_);
    void* data = nullptr;
    const std::intptr_t size = Dispatch(vst::effGetChunk, bank ? 0 : 1, 0, &data);
    if (size <= 0 || data == nullptr) return false;
    fn(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size));
    return true;
  }
  // Restores a bank chunk (all programs) or a program chunk (the current program); false
  // when the plug-in refuses it.
  bool SetChunk(bool bank, const std::uint8_t* bytes, std::size_t size);
  int CurrentProgram();
  void SelectProgram(int index);
  // Stores the current values in the current program under a new name.
  void RenameProgram(const char* name);

  // ---- Editor: the host's user-interface thread ------------------------------------------
  bool HasEditor() const;
  // The editor's size in pixels; false without an editor.
  bool EditorSize(int* width, int* height);
  // The host's display scale (1 = 100 %), before the editor opens or while it is open.
  void SetEditorScale(float factor);
  bool OpenEditor(std::uintptr_t parentWindow);
  void CloseEditor();
  void IdleEditor();

 private:
  static std::intptr_t VST_CALL HostEntry(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                          std::intptr_t value, void* ptr, float opt);
  std::intptr_t Answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt);
  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
  void PassOutgoing(const vst::VstEvents* events);

  vst::AEffect* effect_ = nullptr;
  Listener* listener_ = nullptr;
  int blockSize_ = 0;
  bool active_ = false;
  std::mutex chunkLock_;

  // The outgoing event list: its pointer array is declared with two entries, so the list
  // and the room for the rest are laid out together.
  struct EventList {
    vst::VstEvents head{};
    vst::VstEvent* more[kEventCapacity - 2] = {};
  };
  EventList list_;
  union EventSlot {
    vst::VstMidiEvent midi;
    vst::VstMidiSysexEvent sysex;
  };
  EventSlot slots_[kEventCapacity] = {};
  int queued_ = 0;
};

}  // namespace lv2
