// Fuzz target: the renderer's Standard MIDI File reader. Accepted files must come out as
// channel messages in time order with finite times inside the file's length.
#include <cmath>

#include "fuzz/FuzzSupport.h"
#include "tools/MidiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const MidiFileResult result = ParseMidiFile(std::vector<std::uint8_t>(data, data + size));
  if (!result.ok) {
    fuzz::Require(!result.error.empty() && result.events.empty(), "a refusal gives a reason and no events");
    return 0;
  }
  double last = 0.0;
  for (const TimedMidi& m : result.events) {
    fuzz::Require(std::isfinite(m.seconds) && m.seconds >= last, "events in time order");
    fuzz::Require(m.status >= 0x80 && m.status < 0xF0, "only channel messages");
    fuzz::Require(m.data1 < 0x80 && m.data2 < 0x80, "seven-bit data bytes");
    last = m.seconds;
  }
  fuzz::Require(std::isfinite(result.lengthSeconds) && result.lengthSeconds >= last, "the length covers the events");
  return 0;
}
