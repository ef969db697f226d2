// Fuzz target: MIDI and system-exclusive events of process blocks, as a host sends them.
// The input is a list of records; each starts with an operation byte:
//   0, 1  a MIDI event: delta frames (two bytes, or four when bit 7 is set), three data bytes
//   2     a system-exclusive event: delta frames, a length byte, then that many bytes
//   3     a process call of up to 2047 frames through one of the three entries (bits 2-3)
// Afterwards every key is released: no voice may still be held (no note-off lost).
#include <cstring>

#include "fuzz/FuzzSupport.h"

namespace {

// Pending events beyond this many frames are a host fault the final check does not wait for.
constexpr std::int32_t kLatestCheckedOffset = 8192;

struct EventList {
  std::vector<vst::VstMidiEvent> midi;
  std::vector<vst::VstMidiSysexEvent> sysex;
  std::vector<std::vector<char>> dumps;
  std::vector<vst::VstEvent*> order;  // pointers into the two lists, in arrival order
  std::vector<std::uint8_t> listBytes;

  void Clear() {
    midi.clear();
    sysex.clear();
    dumps.clear();
    order.clear();
  }

  // The host's list record with room for every pointer.
  vst::VstEvents* Build() {
    listBytes.assign(sizeof(vst::VstEvents) + order.size() * sizeof(vst::VstEvent*), 0);
    auto* list = reinterpret_cast<vst::VstEvents*>(listBytes.data());
    list->numEvents = static_cast<std::int32_t>(order.size());
    std::memcpy(list->events, order.data(), order.size() * sizeof(vst::VstEvent*));
    return list;
  }
};

void Process(fuzz::FuzzPlugin& plugin, int entry, int frames) {
  static std::vector<float> left, right;
  static std::vector<double> leftDouble, rightDouble;
  vst::AEffect* effect = plugin.Effect();
  const std::size_t n = static_cast<std::size_t>(frames);
  if (entry == 2) {
    leftDouble.assign(n + 1, 0.0);
    rightDouble.assign(n + 1, 0.0);
    double* in[1] = {leftDouble.data()};
    double* out[2] = {leftDouble.data(), rightDouble.data()};
    effect->processDoubleReplacing(effect, in, out, frames);
    for (std::size_t i = 0; i < n; ++i) {
      fuzz::Require(std::isfinite(leftDouble[i]) && std::isfinite(rightDouble[i]), "finite audio");
    }
    return;
  }
  left.assign(n + 1, 0.0f);
  right.assign(n + 1, 0.0f);
  float* in[1] = {left.data()};
  float* out[2] = {left.data(), right.data()};
  if (entry == 1) {
    effect->process(effect, in, out, frames);
  } else {
    effect->processReplacing(effect, in, out, frames);
  }
  for (std::size_t i = 0; i < n; ++i) fuzz::Require(std::isfinite(left[i]) && std::isfinite(right[i]), "finite audio");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::FuzzPlugin plugin;
  static EventList events;
  plugin.Restart();
  events.Clear();
  // The vectors must not move while the list points into them.
  events.midi.reserve(size + 129);
  events.sysex.reserve(size);

  fuzz::InputCursor in(data, size);
  std::int32_t latest = 0;
  auto send = [&] {
    if (events.order.empty()) return;
    plugin.Dispatch(vst::effProcessEvents, 0, 0, events.Build());
    events.Clear();
  };
  while (in.Remaining() > 0) {
    const std::uint32_t op = in.Take(1);
    const bool wide = (op & 0x80) != 0;
    switch (op & 3) {
      case 0:
      case 1:
      case 2: {
        const auto delta = wide ? static_cast<std::int32_t>(in.Take(4)) : static_cast<std::int16_t>(in.Take(2));
        latest = std::max(latest, delta);
        if ((op & 3) != 2) {
          vst::VstMidiEvent e{};
          e.type = vst::kMidiType;
          e.byteSize = sizeof(e);
          e.deltaFrames = delta;
          for (int i = 0; i < 3; ++i) e.midiData[i] = static_cast<char>(in.Take(1));
          events.midi.push_back(e);
          events.order.push_back(reinterpret_cast<vst::VstEvent*>(&events.midi.back()));
        } else {
          const std::size_t length = std::min<std::size_t>(in.Take(1), in.Remaining());
          events.dumps.emplace_back(in.Rest(), in.Rest() + length);
          in.Skip(length);
          vst::VstMidiSysexEvent e{};
          e.type = vst::kSysExType;
          e.byteSize = sizeof(e);
          e.deltaFrames = delta;
          e.dumpBytes = static_cast<std::int32_t>(length);
          e.sysexDump = events.dumps.back().empty() ? nullptr : events.dumps.back().data();
          events.sysex.push_back(e);
          events.order.push_back(reinterpret_cast<vst::VstEvent*>(&events.sysex.back()));
        }
        break;
      }
      case 3: {
        send();
        const int frames = static_cast<int>(in.Take(2) % 2048);
        Process(plugin, static_cast<int>((op >> 2) & 3) % 3, frames);
        latest -= frames;
        break;
      }
    }
  }
  send();
  Process(plugin, 0, 64);
  latest -= 64;
  if (latest > kLatestCheckedOffset) return 0;
  // Let every queued event fire, then release every key and the pedal.
  for (; latest >= 0; latest -= fuzz::FuzzPlugin::kBlockSize) Process(plugin, 0, fuzz::FuzzPlugin::kBlockSize);
  for (int key = 0; key < 129; ++key) {
    vst::VstMidiEvent e{};
    e.type = vst::kMidiType;
    e.byteSize = sizeof(e);
    e.midiData[0] = static_cast<char>(key < 128 ? 0x80 : 0xB0);
    e.midiData[1] = static_cast<char>(key < 128 ? key : 64);
    events.midi.push_back(e);
    events.order.push_back(reinterpret_cast<vst::VstEvent*>(&events.midi.back()));
  }
  send();
  Process(plugin, 0, 128);  // beyond the next control tick
  Tesvar& plug = plugin.Plug();
  fuzz::Require(plug.HeldKeyCount() == 0, "no key held after every note-off");
  for (const engine::Voice& voice : plug.Engine().Voices())
    fuzz::Require(!voice.IsHeld(), "no voice held after every note-off");
  return 0;
}
