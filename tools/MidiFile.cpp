// Standard MIDI File parsing.
#include "tools/MidiFile.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

struct Reader {
  const std::vector<std::uint8_t>& bytes;
  std::size_t pos;
  std::size_t end;

  bool Has(std::size_t n) const { return pos <= end && end - pos >= n; }
  std::uint32_t Big(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | bytes[pos++];
    return v;
  }
  // Variable-length quantity: at most four bytes of seven bits.
  bool Vlq(std::uint32_t* out) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      if (!Has(1)) return false;
      const std::uint8_t b = bytes[pos++];
      v = v << 7 | (b & 0x7F);
      if (!(b & 0x80)) {
        *out = v;
        return true;
      }
    }
    return false;
  }
};

struct TickEvent {
  std::uint64_t tick;
  int order;  // file order, to keep ties stable
  bool isTempo;
  std::uint32_t tempo;  // microseconds per quarter note
  TimedMidi midi;
};

int DataBytes(std::uint8_t status) {
  const int kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

}  // namespace

MidiFileResult ParseMidiFile(const std::vector<std::uint8_t>& bytes) {
  MidiFileResult result;
  Reader r{bytes, 0, bytes.size()};
  if (!r.Has(14) || r.Big(4) != 0x4D546864) {  // "MThd"
    result.error = "not a Standard MIDI File (no MThd header)";
    return result;
  }
  const std::uint32_t headerLength = r.Big(4);
  if (headerLength < 6 || !r.Has(headerLength)) {
    result.error = "damaged MThd header";
    return result;
  }
  const int format = static_cast<int>(r.Big(2));
  const int trackCount = static_cast<int>(r.Big(2));
  const int division = static_cast<int>(r.Big(2));
  r.pos += headerLength - 6;
  if (format > 1) {
    result.error = "MIDI file format " + std::to_string(format) + " is not supported (only 0 and 1)";
    return result;
  }
  if (division & 0x8000) {
    result.error = "SMPTE time division is not supported";
    return result;
  }
  if (division == 0) {
    result.error = "damaged MThd header (zero ticks per quarter note)";
    return result;
  }

  std::vector<TickEvent> events;
  int order = 0;
  for (int t = 0; t < trackCount; ++t) {
    if (!r.Has(8)) {
      result.error = "the file ends before track " + std::to_string(t + 1);
      return result;
    }
    const std::uint32_t id = r.Big(4);
    const std::uint32_t length = r.Big(4);
    if (!r.Has(length)) {
      result.error = "track " + std::to_string(t + 1) + " is longer than the file";
      return result;
    }
    if (id != 0x4D54726B) {  // not "MTrk": unknown chunks are skipped
      r.pos += length;
      --t;
      continue;
    }
    Reader tr{bytes, r.pos, r.pos + length};
    r.pos += length;
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (tr.Has(1)) {
      std::uint32_t delta = 0;
      if (!tr.Vlq(&delta) || !tr.Has(1)) {
        result.error = "damaged event in track " + std::to_string(t + 1);
        return result;
      }
      tick += delta;
      std::uint8_t status = tr.bytes[tr.pos];
      if (status & 0x80) {
        ++tr.pos;
      } else if (running != 0) {
        status = running;  // running status: the data byte is already next
      } else {
        result.error = "data byte without status in track " + std::to_string(t + 1);
        return result;
      }
      if (status == 0xFF) {
        if (!tr.Has(1)) break;
        const std::uint8_t type = tr.bytes[tr.pos++];
        std::uint32_t len = 0;
        if (!tr.Vlq(&len) || !tr.Has(len)) {
          result.error = "damaged meta event in track " + std::to_string(t + 1);
          return result;
        }
        if (type == 0x51 && len == 3) {
          TickEvent e{tick, order++, true, 0, {}};
          e.tempo =
              static_cast<std::uint32_t>(tr.bytes[tr.pos]) << 16 | tr.bytes[tr.pos + 1] << 8 | tr.bytes[tr.pos + 2];
          events.push_back(e);
        }
        tr.pos += len;
        if (type == 0x2F) break;  // end of track
        continue;
      }
      if (status == 0xF0 || status == 0xF7) {
        std::uint32_t len = 0;
        if (!tr.Vlq(&len) || !tr.Has(len)) {
          result.error = "damaged system-exclusive event in track " + std::to_string(t + 1);
          return result;
        }
        tr.pos += len;
        running = 0;
        continue;
      }
      if (status >= 0xF0) {
        result.error = "unexpected status byte in track " + std::to_string(t + 1);
        return result;
      }
      running = status;
      const int n = DataBytes(status);
      if (!tr.Has(static_cast<std::size_t>(n))) {
        result.error = "truncated message in track " + std::to_string(t + 1);
        return result;
      }
      TickEvent e{tick, order++, false, 0, {}};
      e.midi.status = status;
      e.midi.data1 = tr.bytes[tr.pos++] & 0x7F;
      e.midi.data2 = n == 2 ? tr.bytes[tr.pos++] & 0x7F : 0;
      events.push_back(e);
    }
  }

  // Merge the tracks by tick and turn ticks into seconds through the tempo map.
  std::stable_sort(events.begin(), events.end(), [](const TickEvent& a, const TickEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  double seconds = 0.0;
  std::uint64_t lastTick = 0;
  double secondsPerTick = 0.5 / division;  // 120 bpm until a tempo event
  for (const TickEvent& e : events) {
    seconds += static_cast<double>(e.tick - lastTick) * secondsPerTick;
    lastTick = e.tick;
    if (e.isTempo) {
      if (e.tempo > 0) secondsPerTick = e.tempo * 1e-6 / division;
      continue;
    }
    TimedMidi m = e.midi;
    m.seconds = seconds;
    result.events.push_back(m);
  }
  result.lengthSeconds = seconds;
  result.ok = true;
  return result;
}

MidiFileResult ReadMidiFile(const std::string& path) {
  MidiFileResult result;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    result.error = "cannot open " + path;
    return result;
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + n);
    if (bytes.size() > (64u << 20)) {
      std::fclose(file);
      result.error = path + " is too large for a MIDI file";
      return result;
    }
  }
  std::fclose(file);
  return ParseMidiFile(bytes);
}
