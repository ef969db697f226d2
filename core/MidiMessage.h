// MIDI messages as they travel from the host bridge to the shell's queue and back to MIDI out.
#pragma once

#include <cstdint>

struct MidiMessage {
  std::int32_t offset = 0;  // sample offset within the current block
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;

  int Channel() const { return status & 0x0F; }
  int Kind() const { return status & 0xF0; }
};

struct SysExMessage {
  std::int32_t offset = 0;
  std::int32_t size = 0;
  const std::uint8_t* data = nullptr;  // not owned
};

// Host transport, as far as the host reports it (see IPlugBase's transport queries).
struct TransportState {
  double samplePosition = 0.0;
  double ppqPosition = 0.0;
  double tempo = 0.0;
  double barStart = 0.0;
  double cycleStart = 0.0;
  double cycleEnd = 0.0;
  int timeSigNumerator = 0;
  int timeSigDenominator = 0;
  bool playing = false;
  bool cycleActive = false;
};
