// Plays timed MIDI through a loaded plug-in into stereo audio, block by block, the way a
// host's audio thread does: the block's events first, then one process call.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/MidiFile.h"
#include "tools/PluginHost.h"

struct RenderSettings {
  double sampleRate = 44100.0;
  int blockSize = 512;
  double tailSeconds = 2.0;  // rendered after the last event
};

struct RenderedAudio {
  std::vector<float> left;
  std::vector<float> right;
};

// The built-in phrase played when no MIDI file is given: a chord progression under a
// melody, with a bend and the modulation wheel, about 12 seconds long.
std::vector<TimedMidi> DemoPhrase();
// The level the demo phrase is mixed at: four voices at once of a full-level program peak
// well above full scale, so the phrase plays 6 dB down (a --gain adds to this).
inline constexpr double kDemoPhraseGainDb = -6.0;

// The block loop of any host: for each block, send(messages) with the events that fall in it
// (offsets within the block; not called for a block without events), then process(frames).
// progress (0 ... 1) is called now and then when given.
void ForEachBlock(const std::vector<TimedMidi>& events, double lengthSeconds, const RenderSettings& settings,
                  const std::function<void(const std::vector<MidiMessage>&)>& send,
                  const std::function<void(int frames)>& process, const std::function<void(double)>& progress = {});

// The VST2 host's block loop: prepares the plug-in for the settings, then ForEachBlock with
// the plug-in's event and process calls.
void RunBlocks(PluginHost& host, const std::vector<TimedMidi>& events, double lengthSeconds,
               const RenderSettings& settings, const std::function<void(int frames)>& process,
               const std::function<void(double)>& progress = {});

// Through the single-precision replacing entry.
RenderedAudio Render(PluginHost& host, const std::vector<TimedMidi>& events, double lengthSeconds,
                     const RenderSettings& settings, const std::function<void(double)>& progress = {});

// The largest sample magnitude of either channel (full scale is 1).
double PeakLevel(const RenderedAudio& audio);
// Scales both channels by gainDb decibels.
void ApplyGain(RenderedAudio& audio, double gainDb);
// For an integer file of `bits` bits (16 or 24) whose samples reach `peak` after a gain of
// gainDb: empty when every sample fits, else a warning that names the peak in dBFS and the
// gain (rounded down to 0.1 dB) at which the render would fit. Float files (32) never clip.
std::string ClippingWarning(double peak, int bits, double gainDb);
