// Block-by-block rendering of timed MIDI.
#include "tools/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::vector<TimedMidi> DemoPhrase() {
  std::vector<TimedMidi> e;
  auto note = [&](double start, double length, int key, int velocity) {
    e.push_back({start, 0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity)});
    e.push_back({start + length, 0x80, static_cast<std::uint8_t>(key), 0});
  };
  // Four bars of three-note chords at 100 bpm (2.4 s a bar): Am - F - C - G, then a held
  // A minor.
  const int chords[5][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}, {57, 60, 64}};
  for (int bar = 0; bar < 5; ++bar) {
    for (int k : chords[bar]) note(bar * 2.4, bar == 4 ? 2.2 : 2.3, k, 84);
  }
  // A melody above, with a bend up into the last note and vibrato from the wheel.
  const struct {
    double at;
    double length;
    int key;
  } melody[] = {{0.0, 0.6, 76}, {0.6, 0.6, 74}, {1.2, 1.2, 72}, {2.4, 0.6, 69}, {3.0, 0.6, 72},
                {3.6, 1.2, 77}, {4.8, 0.9, 76}, {5.7, 0.3, 74}, {6.0, 1.2, 72}, {7.2, 0.6, 71},
                {7.8, 0.6, 74}, {8.4, 1.2, 79}, {9.6, 2.2, 81}};
  for (const auto& m : melody) note(m.at, m.length, m.key, 100);
  e.push_back({9.2, 0xE0, 0, 32});  // bend down a little before the last note...
  e.push_back({9.6, 0xE0, 0, 64});  // ...and back up onto it
  e.push_back({10.0, 0xB0, 1, 70});
  e.push_back({11.8, 0xB0, 1, 0});
  std::stable_sort(e.begin(), e.end(), [](const TimedMidi& a, const TimedMidi& b) { return a.seconds < b.seconds; });
  return e;
}

void ForEachBlock(const std::vector<TimedMidi>& events, double lengthSeconds, const RenderSettings& settings,
                  const std::function<void(const std::vector<MidiMessage>&)>& send,
                  const std::function<void(int frames)>& process, const std::function<void(double)>& progress) {
  const auto total = static_cast<long long>(std::ceil((lengthSeconds + settings.tailSeconds) * settings.sampleRate));
  std::vector<MidiMessage> blockEvents;
  std::size_t next = 0;
  long long lastReport = 0;
  for (long long pos = 0; pos < total; pos += settings.blockSize) {
    const int frames = static_cast<int>(std::min<long long>(settings.blockSize, total - pos));
    blockEvents.clear();
    while (next < events.size()) {
      const auto sample = static_cast<long long>(std::llround(events[next].seconds * settings.sampleRate));
      if (sample >= pos + frames) break;
      const TimedMidi& m = events[next++];
      blockEvents.push_back(
          {static_cast<std::int32_t>(std::max<long long>(sample - pos, 0)), m.status, m.data1, m.data2});
    }
    if (!blockEvents.empty()) send(blockEvents);
    process(frames);
    if (progress && pos - lastReport >= static_cast<long long>(settings.sampleRate)) {
      lastReport = pos;
      progress(static_cast<double>(pos) / static_cast<double>(total));
    }
  }
  if (progress) progress(1.0);
}

void RunBlocks(PluginHost& host, const std::vector<TimedMidi>& events, double lengthSeconds,
               const RenderSettings& settings, const std::function<void(int frames)>& process,
               const std::function<void(double)>& progress) {
  host.Dispatch(vst::effMainsChanged, 0, 0);
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(settings.sampleRate));
  host.Dispatch(vst::effSetBlockSize, 0, settings.blockSize);
  host.Dispatch(vst::effMainsChanged, 0, 1);
  ForEachBlock(
      events, lengthSeconds, settings, [&](const std::vector<MidiMessage>& messages) { host.SendMidi(messages); },
      process, progress);
}

RenderedAudio Render(PluginHost& host, const std::vector<TimedMidi>& events, double lengthSeconds,
                     const RenderSettings& settings, const std::function<void(double)>& progress) {
  RenderedAudio audio;
  std::vector<float> left;
  std::vector<float> right;
  RunBlocks(
      host, events, lengthSeconds, settings,
      [&](int frames) {
        host.ProcessReplacing(left, right, frames);
        audio.left.insert(audio.left.end(), left.begin(), left.begin() + frames);
        audio.right.insert(audio.right.end(), right.begin(), right.begin() + frames);
      },
      progress);
  return audio;
}

double PeakLevel(const RenderedAudio& audio) {
  float peak = 0.0f;
  for (float v : audio.left) peak = std::max(peak, std::fabs(v));
  for (float v : audio.right) peak = std::max(peak, std::fabs(v));
  return peak;
}

void ApplyGain(RenderedAudio& audio, double gainDb) {
  const auto factor = static_cast<float>(std::pow(10.0, gainDb / 20.0));
  for (float& v : audio.left) v *= factor;
  for (float& v : audio.right) v *= factor;
}

std::string ClippingWarning(double peak, int bits, double gainDb) {
  // Integer files hold -1 ... 1; anything beyond is cut off at full scale.
  if (bits == 32 || !(peak > 1.0)) return std::string();
  const double peakDb = 20.0 * std::log10(peak);
  const double fitting = std::floor((gainDb - peakDb) * 10.0) / 10.0;
  char text[200];
  std::snprintf(text, sizeof(text), "the render peaks at %+.1f dBFS and clips in a %d-bit file; --gain %.1f would fit",
                peakDb, bits, fitting);
  return text;
}
