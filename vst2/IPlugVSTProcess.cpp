// The audio entries and event reception. Everything here runs on the host's audio thread
// (events on the thread that calls the dispatcher) under the plug-in lock, and allocates
// nothing: the pointer arrays and scratch buffers are sized when the block size changes.
#include <algorithm>

#include "vst2/IPlugVST.h"

void IPlugVST::ProcessSingle(float** inputs, float** outputs, int frames, bool accumulate) {
  platform::Guard guard(Lock());
  if (DoesMidi()) CallHost(vst::audioMasterWantMidi);
  if (frames <= 0 || BlockSize() <= 0) return;
  // A call longer than the announced block size is rendered in pieces of at most that size.
  for (int done = 0; done < frames;) {
    const int piece = std::min(frames - done, BlockSize());
    int hostIndex = 0;
    for (int i = 0; i < InputCount(); ++i) {
      ChannelRecord& channel = Input(i);
      if (!channel.connected) continue;
      const float* in = inputs != nullptr ? inputs[hostIndex] : nullptr;
      ++hostIndex;
      double* scratch = channel.scratch.data();
      for (int s = 0; s < piece; ++s) scratch[s] = in != nullptr ? in[done + s] : 0.0;
      *channel.slot = scratch;
    }
    hostIndex = 0;
    for (int i = 0; i < OutputCount(); ++i) {
      ChannelRecord& channel = Output(i);
      if (!channel.connected) continue;
      *channel.slot = channel.scratch.data();
      channel.hostBuffer = outputs != nullptr ? outputs[hostIndex] : nullptr;
      ++hostIndex;
    }
    RenderBlock(InputPointers(), OutputPointers(), piece);
    for (int i = 0; i < OutputCount(); ++i) {
      ChannelRecord& channel = Output(i);
      if (!channel.connected || channel.hostBuffer == nullptr) continue;
      float* out = channel.hostBuffer + done;
      const double* scratch = channel.scratch.data();
      if (accumulate) {
        for (int s = 0; s < piece; ++s) out[s] += static_cast<float>(scratch[s]);
      } else {
        for (int s = 0; s < piece; ++s) out[s] = static_cast<float>(scratch[s]);
      }
    }
    done += piece;
  }
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int frames) {
  platform::Guard guard(Lock());
  if (DoesMidi()) CallHost(vst::audioMasterWantMidi);
  if (frames <= 0 || BlockSize() <= 0) return;
  for (int done = 0; done < frames;) {
    const int piece = std::min(frames - done, BlockSize());
    int hostIndex = 0;
    for (int i = 0; i < InputCount(); ++i) {
      ChannelRecord& channel = Input(i);
      if (!channel.connected) continue;
      double* in = inputs != nullptr ? inputs[hostIndex] : nullptr;
      ++hostIndex;
      if (in != nullptr) {
        *channel.slot = in + done;
      } else {
        std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
        *channel.slot = channel.scratch.data();
      }
    }
    hostIndex = 0;
    for (int i = 0; i < OutputCount(); ++i) {
      ChannelRecord& channel = Output(i);
      if (!channel.connected) continue;
      double* out = outputs != nullptr ? outputs[hostIndex] : nullptr;
      ++hostIndex;
      *channel.slot = out != nullptr ? out + done : channel.scratch.data();
    }
    RenderBlock(InputPointers(), OutputPointers(), piece);
    done += piece;
  }
}

void IPlugVST::ProcessEvents(const vst::VstEvents* events) {
  for (std::int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = events->events[i];
    if (event == nullptr) continue;
    if (event->type == vst::kMidiType) {
      const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
      MidiMessage message;
      message.offset = midi->deltaFrames;
      message.status = static_cast<std::uint8_t>(midi->midiData[0]);
      message.data1 = static_cast<std::uint8_t>(midi->midiData[1]);
      message.data2 = static_cast<std::uint8_t>(midi->midiData[2]);
      HandleMidi(message);
    } else if (event->type == vst::kSysExType) {
      const auto* sysex = reinterpret_cast<const vst::VstMidiSysexEvent*>(event);
      SysExMessage message;
      message.offset = sysex->deltaFrames;
      message.size = sysex->dumpBytes;
      message.data = reinterpret_cast<const std::uint8_t*>(sysex->sysexDump);
      HandleSysEx(message);
    }
  }
}
