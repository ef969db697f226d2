// The effect record driven in process: creation through the entry point, the host requests
// the plug-in makes, and the calls an LV2 instance needs.
#include "lv2/EffectLink.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "lv2/MidiBytes.h"
#include "vst2/IPlugVST.h"

namespace lv2 {

namespace {

// What the plug-in learns of its "host" when it asks: it adapts to no known product, and its
// vendor test (which picks the chunk kind for two hosts) stays off.
constexpr char kHostProduct[] = "Tesvar LV2 adapter";
constexpr char kHostVendor[] = "Quellmark Music";
constexpr int kHostVersion = 10001;
constexpr int kHostTextSize = 64;  // the buffers hosts are asked to fill hold at least this

}  // namespace

EffectLink::~EffectLink() {
  if (effect_ == nullptr) return;
  if (active_) Dispatch(vst::effMainsChanged, 0, 0);
  Dispatch(vst::effClose);
  effect_ = nullptr;
}

bool EffectLink::Create(vst::EntryProc entry, Listener* listener, double sampleRate, int blockSize) {
  // The plug-in would ignore these and keep its defaults: refused here instead.
  if (!(sampleRate >= IPlugVST::kMinSampleRate && sampleRate <= IPlugVST::kMaxSampleRate)) return false;
  if (blockSize < 1 || blockSize > kMaxBlockSize) return false;
  listener_ = listener;
  effect_ = entry(&EffectLink::HostEntry);
  if (effect_ == nullptr || effect_->magic != vst::kEffectMagic) {
    effect_ = nullptr;
    return false;
  }
  // Requests made while the plug-in was being built found no link and were answered 0.
  effect_->user = this;
  Dispatch(vst::effOpen);
  Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(vst::effSetBlockSize, 0, blockSize);
  blockSize_ = blockSize;
  return true;
}

void EffectLink::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  Dispatch(vst::effMainsChanged, 0, active ? 1 : 0);
}

std::intptr_t EffectLink::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

// ---- Host requests ------------------------------------------------------------------------

std::intptr_t VST_CALL EffectLink::HostEntry(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                             std::intptr_t value, void* ptr, float opt) {
  auto* link = effect != nullptr ? static_cast<EffectLink*>(effect->user) : nullptr;
  if (link == nullptr) return opcode == vst::audioMasterVersion ? 2400 : 0;
  return link->Answer(opcode, index, value, ptr, opt);
}

std::intptr_t EffectLink::Answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  switch (opcode) {
    case vst::audioMasterAutomate: listener_->ParamReported(index, opt); return 0;
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterBeginEdit: listener_->GestureBegun(index); return 1;
    case vst::audioMasterEndEdit: listener_->GestureEnded(index); return 1;
    case vst::audioMasterUpdateDisplay: listener_->ProgramChanged(); return 1;
    case vst::audioMasterProcessEvents:
      if (ptr == nullptr) return 0;
      PassOutgoing(static_cast<const vst::VstEvents*>(ptr));
      return 1;
    case vst::audioMasterGetProductString:
      if (ptr != nullptr) std::strncpy(static_cast<char*>(ptr), kHostProduct, kHostTextSize);
      return ptr != nullptr ? 1 : 0;
    case vst::audioMasterGetVendorString:
      if (ptr != nullptr) std::strncpy(static_cast<char*>(ptr), kHostVendor, kHostTextSize);
      return ptr != nullptr ? 1 : 0;
    case vst::audioMasterGetVendorVersion: return kHostVersion;
    case vst::audioMasterSizeWindow: return listener_->EditorResized(index, static_cast<int>(value)) ? 1 : 0;
    default:
      // No time record (the synthesizer reads none), no process level (never offline),
      // nothing else offered.
      return 0;
  }
}

void EffectLink::PassOutgoing(const vst::VstEvents* events) {
  const vst::VstEvent* const* list = events->events;
  for (std::int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = list[i];
    if (event == nullptr) continue;
    if (event->type == vst::kMidiType) {
      const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(midi->midiData);
      const int length = MessageLength(bytes[0]);
      if (length > 0) listener_->MidiOut(midi->deltaFrames, bytes, length);
    } else if (event->type == vst::kSysExType) {
      const auto* sysex = reinterpret_cast<const vst::VstMidiSysexEvent*>(event);
      if (sysex->sysexDump != nullptr && sysex->dumpBytes > 0) {
        listener_->MidiOut(sysex->deltaFrames, reinterpret_cast<const std::uint8_t*>(sysex->sysexDump),
                           sysex->dumpBytes);
      }
    }
  }
}

// ---- Audio thread ---------------------------------------------------------------------------

void EffectLink::QueueMidi(int offset, const std::uint8_t* bytes, int size) {
  if (bytes == nullptr || size <= 0) return;
  if (queued_ == kEventCapacity) FlushMidi();
  EventSlot& slot = slots_[queued_];
  if (bytes[0] == 0xF0) {
    slot.sysex = vst::VstMidiSysexEvent{};
    slot.sysex.type = vst::kSysExType;
    slot.sysex.byteSize = sizeof(vst::VstMidiSysexEvent);
    slot.sysex.deltaFrames = offset;
    slot.sysex.dumpBytes = size;
    slot.sysex.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(bytes));
  } else {
    slot.midi = vst::VstMidiEvent{};
    slot.midi.type = vst::kMidiType;
    slot.midi.byteSize = sizeof(vst::VstMidiEvent);
    slot.midi.deltaFrames = offset;
    std::memcpy(slot.midi.midiData, bytes, static_cast<std::size_t>(std::min(size, 3)));
  }
  vst::VstEvent** pointers = list_.head.events;
  pointers[queued_] = reinterpret_cast<vst::VstEvent*>(&slot);
  ++queued_;
}

void EffectLink::FlushMidi() {
  if (queued_ == 0) return;
  list_.head.numEvents = queued_;
  Dispatch(vst::effProcessEvents, 0, 0, &list_.head);
  queued_ = 0;
}

void EffectLink::Process(float* left, float* right, int frames) {
  float* outputs[2] = {left, right};
  effect_->processReplacing(effect_, nullptr, outputs, frames);
}

float EffectLink::Normalised(int index) { return effect_->getParameter(effect_, index); }

void EffectLink::SetNormalised(int index, float normalised) { effect_->setParameter(effect_, index, normalised); }

// ---- Chunks and programs ---------------------------------------------------------------------

bool EffectLink::SetChunk(bool bank, const std::uint8_t* bytes, std::size_t size) {
  std::lock_guard<std::mutex> guard(chunkLock_);
  return Dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<std::intptr_t>(size), const_cast<std::uint8_t*>(bytes)) ==
         1;
}

int EffectLink::CurrentProgram() { return static_cast<int>(Dispatch(vst::effGetProgram)); }

void EffectLink::SelectProgram(int index) { Dispatch(vst::effSetProgram, 0, index); }

void EffectLink::RenameProgram(const char* name) { Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(name)); }

// ---- Editor ------------------------------------------------------------------------------------

bool EffectLink::HasEditor() const { return (effect_->flags & vst::kFlagHasEditor) != 0; }

bool EffectLink::EditorSize(int* width, int* height) {
  vst::ERect* rect = nullptr;
  if (Dispatch(vst::effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr) return false;
  *width = rect->right - rect->left;
  *height = rect->bottom - rect->top;
  return true;
}

void EffectLink::SetEditorScale(float factor) {
  Dispatch(vst::effVendorSpecific, vst::kVendorScaleFactor, 0, nullptr, factor);
}

bool EffectLink::OpenEditor(std::uintptr_t parentWindow) {
  return Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parentWindow)) == 1;
}

void EffectLink::CloseEditor() { Dispatch(vst::effEditClose); }

void EffectLink::IdleEditor() { Dispatch(vst::effEditIdle); }

}  // namespace lv2
