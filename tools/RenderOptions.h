// The renderer's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/PluginHost.h"
#include "tools/Renderer.h"

struct RenderOptions {
  std::string pluginPath;
  std::string lv2Bundle;  // --lv2: render through this LV2 bundle instead of a VST2 library
  std::string midiPath;   // empty: the built-in demo phrase
  std::string outPath = "out.wav";
  std::string program;      // "11" ... "88" or a program name; empty: the current program
  std::string programFile;  // an FXP or FXB file loaded first
  std::string tapeDump;     // a WAV recording of a tape dump imported first
  std::string saveBank;     // where to write the bank the render ended up with
  std::string saveState;    // --lv2: a folder for the instance's state (as lilv hosts load it)
  struct ParamValue {
    int index;
    double value;  // plain, in the parameter's own units
  };
  std::vector<ParamValue> params;  // set after the programs, in order
  RenderSettings settings;
  int bits = 32;        // 16, 24 or 32 (float)
  double gainDb = 0.0;  // applied to the rendered audio before it is written
  bool help = false;
};

// The longest render the tool makes (events and tail): an hour of stereo floats is about a
// gigabyte of memory. A MIDI file whose events reach further is refused.
inline constexpr double kMaxRenderSeconds = 3600.0;

// Answers false with *error set for unknown options and values out of range.
bool ParseRenderOptions(int argc, char** argv, RenderOptions* options, std::string* error);
const char* RenderUsage();
// False with *error set when the events and the tail together last longer than
// kMaxRenderSeconds (a damaged or hostile MIDI file can claim years).
bool CheckRenderLength(double eventSeconds, const RenderSettings& settings, std::string* error);

// Imports the programs of a tape-dump recording into the plug-in as a bank.
bool ImportTapeDump(PluginHost& host, const std::string& wavPath, std::string* error);
// The tape-dump recording's 64 programs as an FXB image in chunk form; empty, with *error
// set, when the recording cannot be read.
std::vector<std::uint8_t> TapeDumpBankImage(const std::string& wavPath, std::int32_t pluginVersion, std::string* error);
