// One block through the plug-in: the received MIDI as its event list, then its process entry.
#include "standalone/AudioBridge.h"

#include <algorithm>

namespace standalone {

AudioBridge::AudioBridge(vst::AEffect* effect) : effect_(effect) {
  vst::VstSpeakerArrangement input{};
  input.type = vst::kSpeakerArrEmpty;
  input.numChannels = 0;
  vst::VstSpeakerArrangement output{};
  output.type = vst::kSpeakerArrStereo;
  output.numChannels = 2;
  effect_->dispatcher(effect_, vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&input), &output,
                      0.0f);
}

void AudioBridge::SetBlockSize(int frames) {
  effect_->dispatcher(effect_, vst::effSetBlockSize, 0, frames, nullptr, 0.0f);
}

void AudioBridge::SetSampleRate(double rate) {
  effect_->dispatcher(effect_, vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void AudioBridge::Begin(int frames) {
  frames_ = std::max(frames, 1);
  count_ = 0;
  MidiMessage message;
  while (keyboard_.Pop(&message)) {
    message.offset = 0;
    Add(message);
  }
}

void AudioBridge::AddMidi(const std::uint8_t* bytes, std::size_t size, std::uint32_t frame) {
  if (bytes == nullptr || size == 0) return;
  const std::uint8_t status = bytes[0];
  if (status >= 0xF0) return;  // system messages: nothing for this instrument
  // Program change and channel pressure carry one data byte, the other kinds two.
  const std::size_t needed = (status & 0xE0) == 0xC0 ? 2 : 3;
  bool valid = status >= 0x80 && size >= needed;
  for (std::size_t i = 1; valid && i < needed; ++i) valid = bytes[i] < 0x80;
  if (!valid) {
    refused_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  MidiMessage message;
  message.offset = static_cast<std::int32_t>(std::min<std::uint32_t>(frame, static_cast<std::uint32_t>(frames_ - 1)));
  message.status = status;
  message.data1 = bytes[1];
  message.data2 = needed == 3 ? bytes[2] : 0;
  Add(message);
}

void AudioBridge::Add(const MidiMessage& message) {
  if (count_ == kListCapacity) Flush();
  vst::VstMidiEvent& event = events_[static_cast<std::size_t>(count_++)];
  event = {};
  event.type = vst::kMidiType;
  event.byteSize = sizeof(vst::VstMidiEvent);
  event.deltaFrames = message.offset;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
}

void AudioBridge::Flush() {
  if (count_ == 0) return;
  auto* list = reinterpret_cast<vst::VstEvents*>(list_);
  list->numEvents = count_;
  list->reserved = 0;
  // Written through a pointer: indexing the declared two-element array further is undefined.
  vst::VstEvent** pointers = list->events;
  for (int i = 0; i < count_; ++i) {
    pointers[i] = reinterpret_cast<vst::VstEvent*>(&events_[static_cast<std::size_t>(i)]);
  }
  effect_->dispatcher(effect_, vst::effProcessEvents, 0, 0, list, 0.0f);
  count_ = 0;
}

void AudioBridge::Render(float* left, float* right, int frames) {
  Flush();
  float* outputs[2] = {left, right};
  // The input is disconnected: the plug-in takes no input buffer from the list.
  float* inputs[1] = {nullptr};
  effect_->processReplacing(effect_, inputs, outputs, frames);
}

}  // namespace standalone
