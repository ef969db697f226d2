// The standalone program's command line.
#pragma once

#include <string>

namespace standalone {

struct StandaloneOptions {
  std::string bankFile;  // an FXB file to start from instead of the saved state
  std::string program;   // "11" ... "88" or a program name; empty: the state's
  std::string clientName = "tesvar";
  std::string serverName;    // empty: the JACK library's choice ($JACK_DEFAULT_SERVER or "default")
  std::string pluginPath;    // empty: the plug-in beside the program
  bool connect = true;       // the outputs to the playback ports, MIDI hardware to the input
  bool autoConnect = false;  // also MIDI hardware that appears while running
  bool headless = false;     // no window
  bool listPorts = false;
  bool help = false;
  bool version = false;
};

// Answers false with *error set for unknown options, missing values and contradictions.
bool ParseStandaloneOptions(int argc, const char* const* argv, StandaloneOptions* options, std::string* error);
const char* StandaloneUsage();

}  // namespace standalone
