// The control clock: cuts host blocks into control ticks of L samples and each tick into
// spans between voice events, so that every event fires at exactly its sample.
#pragma once

#include <algorithm>

#include "engine/VoiceEventQueue.h"

namespace engine {

// Ticks run on regardless of host blocks: a block may end inside a tick and the next one
// continues it. Offsets in the voice event queue count from the start of their tick, and
// the position within a tick is counted across the pieces of a split tick.
//
// Audio thread only (Reset and SetTickLength from the dispatcher under the plug-in lock).
class ControlClock {
 public:
  // Samples per control tick (the sample rate / 1000, 44 at 44100 Hz); at least 1.
  void SetTickLength(int samples) { tickLength_ = std::max(samples, 1); }
  int TickLength() const { return tickLength_; }

  // The next block starts a new tick.
  void Reset() {
    countdown_ = 0;
    tickPosition_ = 0;
  }

  // Samples left in the tick in progress (0: the next sample starts a tick).
  int Countdown() const { return countdown_; }
  // Samples of the current tick already rendered.
  int TickPosition() const { return tickPosition_; }

  // Renders one host block of `frames` samples. Client operations, all called from here:
  //   TakeMessages(tickStart, tickEnd): move the MIDI messages whose block offsets fall
  //       below tickEnd into `queue`, with offsets measured from tickStart (the tick's start
  //       in this block, negative when it began in an earlier block).
  //   ControlTick(): the rest of the tick's work (modulation, voice and effect updates).
  //   FireEvent(event): one voice event, at its sample.
  //   Render(start, count): samples start ... start+count-1 of the block.
  //   EndBlock(frames): the block is over; messages still queued are lowered by frames.
  template <class Client>
  void RunBlock(Client& client, VoiceEventQueue& queue, int frames);

 private:
  int tickLength_ = 44;
  int countdown_ = 0;
  int tickPosition_ = 0;
};

template <class Client>
void ControlClock::RunBlock(Client& client, VoiceEventQueue& queue, int frames) {
  if (frames <= 0) {
    client.EndBlock(0);
    return;
  }
  int pos = 0;
  // A tick begun in the previous block also owns the first `countdown_` samples of this
  // one: the messages that fall there belong to it, not to the next tick.
  if (countdown_ > 0) client.TakeMessages(-tickPosition_, countdown_);
  while (pos < frames) {
    if (countdown_ < 1) {
      // Events still queued from the tick just ended now count from this tick's start.
      queue.LowerOffsets(tickPosition_);
      tickPosition_ = 0;
      countdown_ = tickLength_;
      client.TakeMessages(pos, pos + tickLength_);
      client.ControlTick();
    }
    const int chunkEnd = pos + std::min(countdown_, frames - pos);
    while (pos < chunkEnd) {
      // An event fires at the first sample at or past its offset: a negative offset (a
      // host fault) or one behind a later event fires at once instead of blocking the
      // queue for ever.
      while (!queue.Empty() && queue.Front().offset <= tickPosition_) {
        client.FireEvent(queue.Pop());
      }
      int count = chunkEnd - pos;
      if (!queue.Empty()) count = std::min(count, queue.Front().offset - tickPosition_);
      client.Render(pos, count);
      pos += count;
      tickPosition_ += count;
      countdown_ -= count;
    }
  }
  client.EndBlock(frames);
}

}  // namespace engine
