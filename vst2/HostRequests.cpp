// Requests the plug-in makes of its host: automation, MIDI out, transport and the host's
// identity.
#include <cmath>
#include <cctype>
#include <cstring>
#include <string>

#include "vst2/IPlugVST.h"

void IPlugVST::BeginParamGesture(int index) { CallHost(vst::audioMasterBeginEdit, index); }

void IPlugVST::ReportParamValue(int index, double normalised) {
  CallHost(vst::audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalised));
}

void IPlugVST::EndParamGesture(int index) { CallHost(vst::audioMasterEndEdit, index); }

void IPlugVST::ReportProgramChange() { CallHost(vst::audioMasterUpdateDisplay); }

bool IPlugVST::IsOfflineRender() {
  return CallHost(vst::audioMasterGetCurrentProcessLevel) == vst::kProcessLevelOffline;
}

namespace {
std::string Lowered(const char* text) {
  std::string out(text, BoundedLength(text, 255));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

const vst::VstTimeInfo* AskTime(std::intptr_t answer) { return reinterpret_cast<const vst::VstTimeInfo*>(answer); }
}  // namespace

double IPlugVST::TransportSamplePosition() {
  const vst::VstTimeInfo* time = AskTime(CallHost(vst::audioMasterGetTime, 0, 0));
  if (time == nullptr || !(time->samplePos >= 0.0)) return 0.0;
  return std::floor(time->samplePos + 0.5);
}

double IPlugVST::TransportTempo() {
  const vst::VstTimeInfo* time = AskTime(CallHost(vst::audioMasterGetTime, 0, vst::kTempoValid));
  if (time == nullptr || !(time->flags & vst::kTempoValid) || !(time->tempo >= 0.0)) return 0.0;
  return time->tempo;
}

void IPlugVST::TransportTimeSignature(int* numerator, int* denominator) {
  *numerator = 0;
  *denominator = 0;
  const vst::VstTimeInfo* time = AskTime(CallHost(vst::audioMasterGetTime, 0, vst::kTimeSigValid));
  if (time == nullptr || !(time->flags & vst::kTimeSigValid)) return;
  if (time->timeSigNumerator < 0 || time->timeSigDenominator < 0) return;
  *numerator = time->timeSigNumerator;
  *denominator = time->timeSigDenominator;
}

void IPlugVST::TransportFull(TransportState* state) {
  constexpr std::int32_t kMask = 0x3E00;
  const vst::VstTimeInfo* time = AskTime(CallHost(vst::audioMasterGetTime, 0, kMask));
  if (time == nullptr || !(time->flags & kMask)) return;
  state->samplePosition = time->samplePos;
  if ((time->flags & vst::kPpqPosValid) && time->ppqPos >= 0.0) state->ppqPosition = time->ppqPos;
  if ((time->flags & vst::kTempoValid) && time->tempo > 0.0) state->tempo = time->tempo;
  if ((time->flags & vst::kBarsValid) && time->barStartPos >= 0.0) state->barStart = time->barStartPos;
  if ((time->flags & vst::kCyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0) {
    state->cycleStart = time->cycleStartPos;
    state->cycleEnd = time->cycleEndPos;
  }
  if ((time->flags & vst::kTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0) {
    state->timeSigNumerator = time->timeSigNumerator;
    state->timeSigDenominator = time->timeSigDenominator;
  }
  state->playing = (time->flags & vst::kTransportPlaying) != 0;
  state->cycleActive = (time->flags & vst::kTransportCycleActive) != 0;
}

int IPlugVST::HostIdForProduct(const char* product) {
  // Known hosts by a word of their product text, first match wins (so "cubase" beats
  // "nuendo" in a text that has both).
  static const struct {
    const char* word;
    int id;
  } kHosts[] = {{"cubase", 3},      {"reaper", 1},      {"nuendo", 4},
                {"cakewalk", 5},    {"samplitude", 8},  {"fruity", 7},
                {"live", 9},        {"melodyne", 12},   {"vstmanlib", 13},
                {"aulab", 14},      {"garageband", 22}, {"forte", 15},
                {"chainer", 16},    {"audition", 17},   {"orion", 18},
                {"sawstudio", 20},  {"logic", 21},      {"digital", 23},
                {"audiomulch", 25}, {"presonus", 26},   {"vst3plugintesthost", 27},
                {"protools", 2},    {"ardour", 28},     {"openmpt", 30},
                {"renoise", 29},    {"standalone", 24}};
  if (product == nullptr) return 0;
  const std::string lowered = Lowered(product);
  for (const auto& host : kHosts) {
    if (lowered.find(host.word) != std::string::npos) return host.id;
  }
  return 0;
}

int IPlugVST::PackHostVersion(int decimal) {
  return (decimal / 10000) << 16 | ((decimal % 10000) / 100) << 8 | (decimal % 100);
}

int IPlugVST::IdentifyHost() {
  if (HostId() != -1) return HostId();
  char product[256] = {};
  CallHost(vst::audioMasterGetProductString, 0, 0, product);
  product[255] = '\0';
  int version = 0;
  if (product[0] != '\0') {
    version = PackHostVersion(static_cast<int>(CallHost(vst::audioMasterGetVendorVersion)));
  }
  SetHostIdentity(HostIdForProduct(product), version);
  return HostId();
}

bool IPlugVST::HostWantsProgramChunks() {
  if (!vendorTested_) {
    char vendor[256] = {};
    CallHost(vst::audioMasterGetVendorString, 0, 0, vendor);
    vendor[255] = '\0';
    const std::string lowered = Lowered(vendor);
    vendorWantsProgramChunks_ = lowered == "native instruments" || lowered == "juce vst host";
    vendorTested_ = true;
  }
  return vendorWantsProgramChunks_;
}

void IPlugVST::AdaptToHost() {
  if (adapted_) return;
  adapted_ = true;
  const int id = IdentifyHost();
  if (id == 15 || id == 17 || id == 18 || id == 20) {
    for (int i = 2; i < InputCount(); ++i) SetChannelConnected(true, i, false);
    if (OutputCount() >= 3) {
      for (int i = 2; i < OutputCount(); ++i) SetChannelConnected(false, i, true);
    }
  }
  effect_.numInputs = InputCount();
  effect_.numOutputs = OutputCount();
  HostIdentified();
}

void IPlugVST::ResizeEditor(int width, int height) {
  editorRect_.top = 0;
  editorRect_.left = 0;
  editorRect_.bottom = static_cast<std::int16_t>(height);
  editorRect_.right = static_cast<std::int16_t>(width);
}

bool IPlugVST::EditorResizeRequested(int width, int height) {
  ResizeEditor(width, height);
  return CallHost(vst::audioMasterSizeWindow, width, height) == 1;
}

void IPlugVST::AttachEditor(EditorView* editor) {
  IPlugBase::AttachEditor(editor);
  if (editor != nullptr) {
    editor->SetFrame(this);
    ResizeEditor(editor->Width(), editor->Height());
    effect_.flags |= vst::kFlagHasEditor;
  } else {
    effect_.flags &= ~vst::kFlagHasEditor;
  }
}

std::intptr_t IPlugVST::DispatchEditor(std::int32_t opcode, void* ptr) {
  EditorView* editor = Editor();
  switch (opcode) {
    case vst::effEditGetRect:
      // The size the editor has, or opens at: its scale may have changed since the last call.
      if (ptr == nullptr || editor == nullptr) return 0;
      ResizeEditor(editor->Width(), editor->Height());
      *static_cast<vst::ERect**>(ptr) = &editorRect_;
      return 1;
    case vst::effEditOpen:
      if (editor == nullptr || ptr == nullptr || !editor->Open(ptr)) return 0;
      {
        platform::Guard guard(Lock());
        EditorOpened();
      }
      return 1;
    case vst::effEditClose:
      if (editor == nullptr) return 0;
      {
        platform::Guard guard(Lock());
        EditorClosed();
      }
      editor->Close();
      return 1;
    case vst::effEditIdle:
      if (editor != nullptr) editor->Idle();
      IdleTick();
      return 0;
    default:  // effIdle
      IdleTick();
      return 0;
  }
}

void IPlugVST::ChangeLatency(int samples) {
  IPlugBase::ChangeLatency(samples);
  effect_.initialDelay = samples;
}

bool IPlugVST::SendMidiOut(const MidiMessage& message) {
  vst::VstMidiEvent event{};
  event.type = vst::kMidiType;
  event.byteSize = sizeof(vst::VstMidiEvent);
  event.deltaFrames = message.offset;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  vst::VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
  return CallHost(vst::audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IPlugVST::SendSysExOut(const SysExMessage& message) {
  vst::VstMidiSysexEvent event{};
  event.type = vst::kSysExType;
  event.byteSize = sizeof(vst::VstMidiSysexEvent);
  event.deltaFrames = message.offset;
  event.dumpBytes = message.size;
  event.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(message.data));
  vst::VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
  return CallHost(vst::audioMasterProcessEvents, 0, 0, &list) == 1;
}
