// A small Standard MIDI File reader: formats 0 and 1, running status, tempo changes, meta
// and system-exclusive events skipped. Channel messages come out merged across tracks and
// timed in seconds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TimedMidi {
  double seconds = 0.0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

struct MidiFileResult {
  bool ok = false;
  std::string error;              // why the file was refused
  std::vector<TimedMidi> events;  // in time order; ties keep file and track order
  double lengthSeconds = 0.0;     // time of the last event of any kind
};

// Parses the bytes of a file.
MidiFileResult ParseMidiFile(const std::vector<std::uint8_t>& bytes);
// Reads and parses a file; a missing or unreadable file is refused.
MidiFileResult ReadMidiFile(const std::string& path);
