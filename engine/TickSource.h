// The render loop's view of the shell's MIDI queue: at every control tick it asks for the
// messages that fall in the tick, and at the end of a block it reports the block length.
#pragma once

#include "engine/VoiceEventQueue.h"

namespace engine {

// Implemented by the shell (its DispatchQueuedMidi). Called on the audio thread from
// RenderBlock, under the plug-in lock. Offsets in the shell's queue count samples from the
// start of the current host block, as the host delivered them.
class TickSource {
 public:
  virtual ~TickSource() = default;

  // Takes, in queue order, every message whose block offset is below tickEnd:
  //  - note off (0x8n), note on (0x9n; velocity 0 becomes 0x80) and controller 64 go to
  //    `events` with offset = block offset - tickStart (tickStart is negative when the tick
  //    began in the previous block; a negative result means "at once");
  //  - pitch bend, modulation wheel and mapped controllers take effect at once (the engine
  //    reads them at its next tick); other messages are dropped.
  // When events.Push refuses a message (queue full), stop and keep it and everything
  // behind it for the next call: it is offered again at the next tick, late but in order.
  // tickEnd may lie beyond the block; the rest of that tick is asked for at the start of
  // the next block.
  virtual void DispatchQueuedMidi(int tickStart, int tickEnd, VoiceEventQueue& events) = 0;

  // Once per control tick, right after the tick's messages are taken and before the
  // modulation is computed: the panel's button auto-repeat countdown lives here.
  virtual void OnControlTick() {}

  // The block of `frames` samples is rendered: lower every offset still queued by frames.
  virtual void EndBlock(int frames) = 0;
};

}  // namespace engine
