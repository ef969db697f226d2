// The audio thread's side of the standalone program: one block's MIDI, from the audio
// server's port and from the computer keyboard, handed to the plug-in as its event list, and
// the block rendered through the plug-in's process entry. Knows nothing of the audio server.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "core/MidiMessage.h"
#include "standalone/MidiRing.h"
#include "vst2/VstAbi.h"

namespace standalone {

class AudioBridge {
 public:
  static constexpr int kListCapacity = 256;           // events per list handed to the plug-in
  static constexpr std::size_t kKeyboardQueue = 256;  // keyboard messages waiting for a block

  // The instance must be started (open, rate, block size, processing on) and outlive this.
  // Its input is disconnected here: the instrument takes none, so no input buffer is passed.
  explicit AudioBridge(vst::AEffect* effect);

  // User-interface thread. False when the queue is full; the message is then not sent.
  bool PostFromKeyboard(const MidiMessage& message) { return keyboard_.Push(message); }

  // Audio thread, once per block and in this order: Begin, AddMidi for each received event
  // in time order, Render. Nothing here allocates, waits or takes a lock but the plug-in's.
  //
  // Begin moves the keyboard's waiting messages to the start of the block.
  void Begin(int frames);
  // One received event of `size` bytes at `frame` (0 ... frames - 1; later frames count as
  // the last). Channel messages are passed on; system messages (system exclusive, clock,
  // start and stop, ...) are ignored; a channel message with missing or out-of-range data
  // bytes is refused and counted. A full list goes to the plug-in at once and a new one is
  // begun, so no message is lost here (the plug-in's own queue decides what it keeps).
  void AddMidi(const std::uint8_t* bytes, std::size_t size, std::uint32_t frame);
  // Renders the block into the two buffers of `frames` samples each.
  void Render(float* left, float* right, int frames);

  // The server's notification thread, never the audio callback: a new block size or sample
  // rate for the plug-in, which resets its engine. The plug-in's lock orders these with the
  // blocks; a block longer than the announced size is split by the plug-in.
  void SetBlockSize(int frames);
  void SetSampleRate(double rate);

  // Any thread: received events refused as malformed since the start.
  long Refused() const { return refused_.load(std::memory_order_relaxed); }

 private:
  void Add(const MidiMessage& message);
  void Flush();

  vst::AEffect* effect_;
  MidiRing<kKeyboardQueue> keyboard_;
  int frames_ = 0;
  int count_ = 0;
  std::array<vst::VstMidiEvent, kListCapacity> events_{};
  // The event list: a count, a reserved word and then kListCapacity event pointers (the
  // published record declares two; hosts make room for as many as they pass).
  alignas(vst::VstEvents) std::byte list_[sizeof(vst::VstEvents) + kListCapacity * sizeof(vst::VstEvent*)]{};
  std::atomic<long> refused_{0};
};

}  // namespace standalone
