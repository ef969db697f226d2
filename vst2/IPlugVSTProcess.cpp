// The audio entries and event reception. Everything here runs on the host's audio thread
// (events on the thread that calls the dispatcher) under the plug-in lock, and allocates
// nothing: the pointer arrays and scratch buffers are sized when the block size changes.
#include <algorithm>

#include "vst2/IPlugVST.h"

namespace {

// Calls fn(channel, hostBuffer) for each connected input (or output) channel, handing out
// the host's buffers in order: disconnected channels take none. hostBuffer is null when
// the host gave no buffer list.
template <typename Sample, typename Fn>
void ForEachConnected(IPlugBase& plug, bool inputs, Sample** buffers, Fn fn) {
  const int count = inputs ? plug.InputCount() : plug.OutputCount();
  int hostIndex = 0;
  for (int i = 0; i < count; ++i) {
    ChannelRecord& channel = inputs ? plug.Input(i) : plug.Output(i);
    if (!channel.connected) continue;
    fn(channel, buffers != nullptr ? buffers[hostIndex] : nullptr);
    ++hostIndex;
  }
}

// Calls fn(done, piece) for consecutive pieces of at most the block size: a call longer
// than the announced block size never overruns the scratch buffers.
template <typename Fn>
void ForEachPiece(int frames, int blockSize, Fn fn) {
  for (int done = 0; done < frames;) {
    const int piece = std::min(frames - done, blockSize);
    fn(done, piece);
    done += piece;
  }
}

}  // namespace

void IPlugVST::AskForMidi() {
  // Once per activation, not per block: a host call on every block is a fixed cost that
  // small blocks pay many times over, and hosts reset their MIDI routing at resume, the
  // point after which this asks again.
  if (!DoesMidi() || midiAsked_) return;
  midiAsked_ = true;
  CallHost(vst::audioMasterWantMidi);
}

void IPlugVST::ProcessSingle(float** inputs, float** outputs, int frames, bool accumulate) {
  platform::Guard guard(Lock());
  AskForMidi();
  if (frames <= 0 || BlockSize() <= 0) return;
  ForEachPiece(frames, BlockSize(), [&](int done, int piece) {
    ForEachConnected(*this, true, inputs, [&](ChannelRecord& channel, float* in) {
      double* scratch = channel.scratch.data();
      if (in != nullptr) {
        const float* from = in + done;
        for (int s = 0; s < piece; ++s) scratch[s] = from[s];
      } else {
        std::fill(scratch, scratch + piece, 0.0);
      }
      *channel.slot = scratch;
    });
    ForEachConnected(*this, false, outputs, [&](ChannelRecord& channel, float* out) {
      *channel.slot = channel.scratch.data();
      channel.hostBuffer = out;
    });
    RenderBlock(InputPointers(), OutputPointers(), piece);
    ForEachConnected(*this, false, outputs, [&](ChannelRecord& channel, float*) {
      if (channel.hostBuffer == nullptr) return;
      float* out = channel.hostBuffer + done;
      const double* scratch = channel.scratch.data();
      if (accumulate) {
        for (int s = 0; s < piece; ++s) out[s] += static_cast<float>(scratch[s]);
      } else {
        for (int s = 0; s < piece; ++s) out[s] = static_cast<float>(scratch[s]);
      }
    });
  });
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int frames) {
  platform::Guard guard(Lock());
  AskForMidi();
  if (frames <= 0 || BlockSize() <= 0) return;
  ForEachPiece(frames, BlockSize(), [&](int done, int piece) {
    // Host buffers are used in place; a missing input reads silence from the scratch.
    ForEachConnected(*this, true, inputs, [&](ChannelRecord& channel, double* in) {
      if (in != nullptr) {
        *channel.slot = in + done;
      } else {
        std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
        *channel.slot = channel.scratch.data();
      }
    });
    ForEachConnected(*this, false, outputs, [&](ChannelRecord& channel, double* out) {
      *channel.slot = out != nullptr ? out + done : channel.scratch.data();
    });
    RenderBlock(InputPointers(), OutputPointers(), piece);
  });
}

void IPlugVST::ProcessEvents(const vst::VstEvents* events) {
  // The host allocates the list with room for all its pointers, more than the two the
  // record declares: indexing the declared array past 2 would be undefined, so the
  // pointers are read through a pointer to the first.
  const vst::VstEvent* const* list = events->events;
  for (std::int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = list[i];
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
