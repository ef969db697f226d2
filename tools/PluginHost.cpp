// The test host's side of the VST 2.4 conversation.
#include "tools/PluginHost.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/Platform.h"

namespace {

// The host callback carries no user pointer: a created instance's record holds its host in
// the field the interface leaves to hosts (read without a lock, as the audio thread calls
// back on every block); a plug-in that calls back while it is being created reaches the
// host that is creating it.
std::mutex& HostsMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<PluginHost*>& Hosts() {
  static std::vector<PluginHost*> hosts;
  return hosts;
}
thread_local PluginHost* creating = nullptr;

PluginHost* FindHost(vst::AEffect* effect) {
  if (effect != nullptr && effect->user != nullptr) return static_cast<PluginHost*>(effect->user);
  std::lock_guard<std::mutex> lock(HostsMutex());
  for (PluginHost* host : Hosts()) {
    if (effect != nullptr && host->Effect() == effect) return host;
  }
  return creating;
}

std::intptr_t VST_CALL HostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                    void* ptr, float opt) {
  if (opcode == vst::audioMasterVersion) return 2400;
  PluginHost* host = FindHost(effect);
  return host != nullptr ? host->Answer(opcode, index, value, ptr, opt) : 0;
}

}  // namespace

PluginHost::~PluginHost() { Close(); }

bool PluginHost::Load(const std::string& libraryPath) {
  // Libraries stay loaded for the life of the process, as most hosts keep them.
  void* library = platform::OpenLibrary(libraryPath);
  if (library == nullptr) {
    error_ = "cannot load " + libraryPath;
    return false;
  }
  auto entry = reinterpret_cast<vst::EntryProc>(platform::FindSymbol(library, "VSTPluginMain"));
  if (entry == nullptr) entry = reinterpret_cast<vst::EntryProc>(platform::FindSymbol(library, "main"));
  if (entry == nullptr) {
    error_ = libraryPath + " has no VSTPluginMain";
    return false;
  }
  return Create(entry);
}

bool PluginHost::Create(vst::EntryProc entry) {
  creating = this;
  effect_ = entry(HostCallback);
  creating = nullptr;
  if (effect_ == nullptr || effect_->magic != vst::kEffectMagic) {
    error_ = "the plug-in did not create an instance";
    effect_ = nullptr;
    return false;
  }
  effect_->user = this;
  std::lock_guard<std::mutex> lock(HostsMutex());
  Hosts().push_back(this);
  return true;
}

void PluginHost::Close() {
  if (effect_ == nullptr) return;
  Dispatch(vst::effMainsChanged, 0, 0);
  Dispatch(vst::effClose);
  std::lock_guard<std::mutex> lock(HostsMutex());
  auto& hosts = Hosts();
  hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
  effect_ = nullptr;
}

std::intptr_t PluginHost::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginHost::Start(double sampleRate, int blockSize) {
  Dispatch(vst::effOpen);
  Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(vst::effSetBlockSize, 0, blockSize);
  Dispatch(vst::effMainsChanged, 0, 1);
}

void PluginHost::SendMidi(const std::vector<MidiMessage>& messages) {
  std::vector<vst::VstMidiEvent> events(messages.size());
  // The list record holds two pointers; larger lists are allocated with room for all.
  std::vector<std::uint8_t> listBytes(sizeof(vst::VstEvents) + messages.size() * sizeof(vst::VstEvent*));
  auto* list = reinterpret_cast<vst::VstEvents*>(listBytes.data());
  list->numEvents = static_cast<std::int32_t>(messages.size());
  // Written through a pointer: indexing the declared two-element array further is undefined.
  vst::VstEvent** pointers = list->events;
  for (std::size_t i = 0; i < messages.size(); ++i) {
    vst::VstMidiEvent& e = events[i];
    e = {};
    e.type = vst::kMidiType;
    e.byteSize = sizeof(vst::VstMidiEvent);
    e.deltaFrames = messages[i].offset;
    e.midiData[0] = static_cast<char>(messages[i].status);
    e.midiData[1] = static_cast<char>(messages[i].data1);
    e.midiData[2] = static_cast<char>(messages[i].data2);
    pointers[i] = reinterpret_cast<vst::VstEvent*>(&e);
  }
  Dispatch(vst::effProcessEvents, 0, 0, list);
}

void PluginHost::ProcessReplacing(std::vector<float>& left, std::vector<float>& right, int frames) {
  left.resize(static_cast<std::size_t>(frames));
  right.resize(static_cast<std::size_t>(frames));
  std::vector<float> silence(static_cast<std::size_t>(frames), 0.0f);
  float* inputs[1] = {silence.data()};
  float* outputs[2] = {left.data(), right.data()};
  effect_->processReplacing(effect_, inputs, outputs, frames);
}

void PluginHost::ProcessAccumulating(std::vector<float>& left, std::vector<float>& right, int frames) {
  left.resize(static_cast<std::size_t>(frames));
  right.resize(static_cast<std::size_t>(frames));
  std::vector<float> silence(static_cast<std::size_t>(frames), 0.0f);
  float* inputs[1] = {silence.data()};
  float* outputs[2] = {left.data(), right.data()};
  effect_->process(effect_, inputs, outputs, frames);
}

void PluginHost::ProcessDouble(std::vector<double>& left, std::vector<double>& right, int frames) {
  left.resize(static_cast<std::size_t>(frames));
  right.resize(static_cast<std::size_t>(frames));
  std::vector<double> silence(static_cast<std::size_t>(frames), 0.0);
  double* inputs[1] = {silence.data()};
  double* outputs[2] = {left.data(), right.data()};
  effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
}

float PluginHost::GetParameter(int index) { return effect_->getParameter(effect_, index); }

void PluginHost::SetParameter(int index, float value) { effect_->setParameter(effect_, index, value); }

std::string PluginHost::Text(std::int32_t opcode, int index, std::size_t size) {
  std::vector<char> buffer(size + 64, '\x7f');
  buffer[0] = '\0';
  Dispatch(opcode, index, 0, buffer.data());
  return std::string(buffer.data(), std::find(buffer.begin(), buffer.end(), '\0') - buffer.begin());
}

std::intptr_t PluginHost::Answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt) {
  if (opcode == vst::audioMasterSizeWindow) {
    if (recording) Record(opcode, index, ptr, opt);
    return resizeWindow && resizeWindow(index, static_cast<int>(value)) ? 1 : 0;
  }
  if (recording) Record(opcode, index, ptr, opt);
  switch (opcode) {
    case vst::audioMasterGetTime: return hasTime ? reinterpret_cast<std::intptr_t>(&timeInfo) : 0;
    case vst::audioMasterProcessEvents: return 1;
    case vst::audioMasterGetCurrentProcessLevel: return processLevel;
    case vst::audioMasterGetVendorString: std::strncpy(static_cast<char*>(ptr), vendorString.c_str(), 63); return 1;
    case vst::audioMasterGetProductString: std::strncpy(static_cast<char*>(ptr), productString.c_str(), 63); return 1;
    case vst::audioMasterGetVendorVersion: return vendorVersion;
    default: return 0;
  }
}

void PluginHost::Record(std::int32_t opcode, std::int32_t index, void* ptr, float opt) {
  std::lock_guard<std::mutex> lock(recording_);
  requests.push_back(opcode);
  switch (opcode) {
    case vst::audioMasterAutomate:
      automations.push_back({index, opt});
      editEvents.push_back({opcode, index, opt});
      break;
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit: editEvents.push_back({opcode, index, 0.0f}); break;
    case vst::audioMasterProcessEvents: {
      const auto* list = static_cast<const vst::VstEvents*>(ptr);
      const vst::VstEvent* const* pointers = list != nullptr ? list->events : nullptr;
      for (int i = 0; list != nullptr && i < list->numEvents; ++i) {
        const vst::VstEvent* event = pointers[i];
        if (event == nullptr || event->type != vst::kMidiType) continue;
        const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
        midiOut.push_back({midi->deltaFrames, static_cast<std::uint8_t>(midi->midiData[0]),
                           static_cast<std::uint8_t>(midi->midiData[1]), static_cast<std::uint8_t>(midi->midiData[2])});
      }
      break;
    }
    default: break;
  }
}
