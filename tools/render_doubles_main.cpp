// tesvar-render-doubles: plays MIDI through a plug-in library with the double-precision
// process entry and writes the raw doubles, so that the builds for different systems can be
// compared sample by sample; and compares two such files.
//
//   tesvar-render-doubles PLUGIN OUT.f64 [--midi FILE.mid] [--rate HZ] [--block FRAMES]
//   tesvar-render-doubles --compare A.f64 B.f64 [--tolerance T]
//
// OUT.f64 holds interleaved stereo frames as little-endian IEEE doubles. The comparison
// passes (exit 0) when both files have the same length, are not silent, and no sample
// differs by more than the tolerance (default 1e-9: the C libraries' transcendental
// functions may round their last bit differently).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/MidiFile.h"
#include "tools/PluginHost.h"
#include "tools/Renderer.h"

namespace {

bool WriteDoubles(const std::string& path, const std::vector<double>& samples) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(samples.data(), sizeof(double), samples.size(), file) == samples.size();
  return std::fclose(file) == 0 && ok;
}

bool ReadDoubles(const std::string& path, std::vector<double>& samples) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  samples.clear();
  double block[4096];
  std::size_t count = 0;
  while ((count = std::fread(block, sizeof(double), 4096, file)) > 0)
    samples.insert(samples.end(), block, block + count);
  std::fclose(file);
  return true;
}

// The renderer's block loop through the double-precision entry.
std::vector<double> RenderDoubles(PluginHost& host, const std::vector<TimedMidi>& events, double lengthSeconds,
                                  const RenderSettings& settings) {
  std::vector<double> interleaved;
  std::vector<double> left, right;
  RunBlocks(host, events, lengthSeconds, settings, [&](int frames) {
    host.ProcessDouble(left, right, frames);
    for (int i = 0; i < frames; ++i) {
      interleaved.push_back(left[static_cast<std::size_t>(i)]);
      interleaved.push_back(right[static_cast<std::size_t>(i)]);
    }
  });
  return interleaved;
}

int Compare(const std::string& a, const std::string& b, double tolerance) {
  std::vector<double> first, second;
  if (!ReadDoubles(a, first) || !ReadDoubles(b, second)) {
    std::fprintf(stderr, "cannot read %s or %s\n", a.c_str(), b.c_str());
    return 2;
  }
  if (first.size() != second.size()) {
    std::fprintf(stderr, "lengths differ: %zu and %zu samples\n", first.size(), second.size());
    return 1;
  }
  double peak = 0.0, worst = 0.0;
  std::size_t worstAt = 0, differing = 0;
  bool finite = true;
  for (std::size_t i = 0; i < first.size(); ++i) {
    finite = finite && std::isfinite(first[i]) && std::isfinite(second[i]);
    peak = std::max(peak, std::fabs(first[i]));
    const double difference = std::fabs(first[i] - second[i]);
    if (first[i] != second[i]) ++differing;
    if (difference > worst) {
      worst = difference;
      worstAt = i;
    }
  }
  std::printf("%zu frames, peak %.6f, %zu samples differ, largest difference %.3g at frame %zu\n", first.size() / 2,
              peak, differing, worst, worstAt / 2);
  // A silent render would compare equal everywhere and prove nothing.
  if (!finite || peak < 1e-3) {
    std::fprintf(stderr, "render is silent or not finite\n");
    return 1;
  }
  return worst <= tolerance ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 3 && args[0] == "--compare") {
    double tolerance = 1e-9;
    if (args.size() >= 5 && args[3] == "--tolerance") tolerance = std::atof(args[4].c_str());
    return Compare(args[1], args[2], tolerance);
  }
  if (args.size() < 2) {
    std::fprintf(stderr,
                 "usage: tesvar-render-doubles PLUGIN OUT.f64 [--midi FILE] [--rate HZ] [--block N]\n"
                 "       tesvar-render-doubles --compare A.f64 B.f64 [--tolerance T]\n");
    return 2;
  }
  RenderSettings settings;
  std::vector<TimedMidi> events = DemoPhrase();
  double length = events.empty() ? 0.0 : events.back().seconds;
  for (std::size_t i = 2; i + 1 < args.size(); i += 2) {
    if (args[i] == "--midi") {
      MidiFileResult midi = ReadMidiFile(args[i + 1]);
      if (!midi.ok) {
        std::fprintf(stderr, "%s: %s\n", args[i + 1].c_str(), midi.error.c_str());
        return 2;
      }
      events = midi.events;
      length = midi.lengthSeconds;
    } else if (args[i] == "--rate") {
      settings.sampleRate = std::atof(args[i + 1].c_str());
    } else if (args[i] == "--block") {
      settings.blockSize = std::max(1, std::atoi(args[i + 1].c_str()));
    }
  }
  PluginHost host;
  if (!host.Load(args[0])) {
    std::fprintf(stderr, "%s\n", host.Error().c_str());
    return 2;
  }
  host.Start(settings.sampleRate, settings.blockSize);
  const std::vector<double> audio = RenderDoubles(host, events, length, settings);
  host.Close();
  if (!WriteDoubles(args[1], audio)) {
    std::fprintf(stderr, "cannot write %s\n", args[1].c_str());
    return 2;
  }
  return 0;
}
