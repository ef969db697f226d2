// Shared set-up of the tests that load the LV2 bundle through lilv, beside the VST2 library
// loaded through its entry point.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lv2/Uris.h"
#include "tests/vst2/HostTestSupport.h"
#include "tools/Lv2Host.h"
#include "tools/MidiFile.h"

inline constexpr char kChunkType[] = "http://lv2plug.in/ns/ext/atom#Chunk";
inline constexpr char kIntType[] = "http://lv2plug.in/ns/ext/atom#Int";

// A fresh, active instance of the bundle (in a temporary home, like LoadPlugin).
inline std::unique_ptr<Lv2Host> LoadLv2(const Lv2HostSettings& settings = {}) {
  static const bool homeSet = (UseTemporaryHome(), true);
  (void)homeSet;
  auto host = std::make_unique<Lv2Host>();
  if (!host->Load(TESVAR_LV2_BUNDLE, settings)) {
    ADD_FAILURE() << host->Error();
    return nullptr;
  }
  host->Activate();
  return host;
}

inline Lv2Host::StateValue IntValue(std::int32_t value) {
  std::vector<std::uint8_t> bytes(sizeof(value));
  std::memcpy(bytes.data(), &value, sizeof(value));
  return {kIntType, bytes};
}

inline Lv2Host::State SavedState(Lv2Host& host) {
  Lv2Host::State state;
  EXPECT_TRUE(host.SaveState(&state));
  return state;
}

inline std::int32_t SavedProgram(Lv2Host& host) {
  const Lv2Host::State state = SavedState(host);
  const auto found = state.find(lv2uris::kStateProgram);
  std::int32_t program = -1;
  if (found != state.end() && found->second.bytes.size() == sizeof(program)) {
    std::memcpy(&program, found->second.bytes.data(), sizeof(program));
  }
  return program;
}

struct Stereo {
  std::vector<float> left, right;
};

// Plays timed MIDI (seconds) for `seconds` through the LV2 instance in runs of runFrames.
inline Stereo PlayLv2(Lv2Host& host, const std::vector<TimedMidi>& events, double seconds, double rate, int runFrames) {
  Stereo out;
  const auto total = static_cast<long long>(std::ceil(seconds * rate));
  std::size_t next = 0;
  for (long long pos = 0; pos < total; pos += runFrames) {
    const int frames = static_cast<int>(std::min<long long>(runFrames, total - pos));
    while (next < events.size() && std::llround(events[next].seconds * rate) < pos + frames) {
      const TimedMidi& e = events[next++];
      const long long at = std::max(std::llround(e.seconds * rate) - pos, 0LL);
      const int length = (e.status & 0xF0) == 0xC0 || (e.status & 0xF0) == 0xD0 ? 2 : 3;
      std::vector<std::uint8_t> bytes = {e.status, e.data1, e.data2};
      bytes.resize(static_cast<std::size_t>(length));
      host.AddMidi(at, bytes);
    }
    host.Run(frames);
    out.left.insert(out.left.end(), host.Left().begin(), host.Left().begin() + frames);
    out.right.insert(out.right.end(), host.Right().begin(), host.Right().begin() + frames);
  }
  return out;
}

// A short phrase: a chord, a bend, the wheel and a melody note, in the first 1.5 s.
inline std::vector<TimedMidi> ShortPhrase() {
  return {{0.0, 0x90, 57, 90}, {0.0, 0x90, 60, 90},  {0.01, 0x90, 64, 90}, {0.3, 0xE0, 0, 80},
          {0.5, 0xB0, 1, 90},  {0.6, 0x90, 76, 110}, {0.9, 0x80, 76, 0},   {1.0, 0xE0, 0, 64},
          {1.2, 0x80, 57, 0},  {1.2, 0x80, 60, 0},   {1.25, 0x80, 64, 0},  {1.3, 0xB0, 1, 0}};
}

inline double LargestDifference(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return INFINITY;
  double d = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) d = std::max(d, std::fabs(static_cast<double>(a[i]) - b[i]));
  return d;
}

inline bool AllFinite(const Stereo& s) {
  for (float v : s.left)
    if (!std::isfinite(v)) return false;
  for (float v : s.right)
    if (!std::isfinite(v)) return false;
  return true;
}

inline double Peak(const Stereo& s) {
  double p = 0.0;
  for (float v : s.left) p = std::max(p, std::fabs(static_cast<double>(v)));
  for (float v : s.right) p = std::max(p, std::fabs(static_cast<double>(v)));
  return p;
}
