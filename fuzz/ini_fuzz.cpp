// Fuzz target: the settings file. Whatever it holds, the settings read from it work (the
// tape decoder runs with its tape-read values), and writing them all back and reading the
// file again gives the same settings.
#include <cmath>

#include "fuzz/FuzzSupport.h"
#include "shell/Configuration.h"
#include "tape/TapeDecoder.h"

namespace {

// A short burst of tape tone: enough signal for the conditioner and the bit decoder.
std::vector<double> ToneBurst() {
  std::vector<double> samples(4410);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = std::sin(2.0 * 3.14159265358979 * 1200.0 * i / 44100.0);
  return samples;
}

// The settings a reader kept; negative controller entries all mean "unmapped".
struct Snapshot {
  shell::Configuration settings;
  tape::TapeReadSettings tape;

  bool operator==(const Snapshot& other) const {
    const shell::Configuration& a = settings;
    const shell::Configuration& b = other.settings;
    for (int c = 0; c < shell::Configuration::kControllerCount; ++c) {
      if (a.controllerMap[c] != b.controllerMap[c] && (a.controllerMap[c] >= 0 || b.controllerMap[c] >= 0))
        return false;
    }
    return a.startupBank == b.startupBank && a.programFilesPath == b.programFilesPath && a.midiThru == b.midiThru &&
           a.ignoreProgramChange == b.ignoreProgramChange && a.showParameters == b.showParameters &&
           a.openAltView == b.openAltView && tape.highPassEnabled == other.tape.highPassEnabled &&
           tape.lowPassEnabled == other.tape.lowPassEnabled && tape.highPassHz == other.tape.highPassHz &&
           tape.lowPassHz == other.tape.lowPassHz && tape.thresholdPercent == other.tape.thresholdPercent;
  }
};

Snapshot Read(const std::string& path) {
  Snapshot snapshot;
  snapshot.settings.path = path;
  shell::SharedTapeReadSettings() = tape::TapeReadSettings{};
  fuzz::Require(snapshot.settings.ReadConfiguration() == shell::ConfigurationStatus::kDone, "the file is there");
  snapshot.tape = shell::SharedTapeReadSettings();
  return snapshot;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<double> burst = ToneBurst();
  const std::string path = fuzz::WriteScratchFile("tesvar.ini", data, size);
  const Snapshot first = Read(path);

  std::vector<double> samples = burst;
  const tape::TapeDecodeResult decoded = tape::DecodeTapeSignal(samples, 44100.0, first.tape);
  fuzz::Require(std::isfinite(decoded.threshold), "a finite detection level");

  shell::Configuration writer = first.settings;
  shell::SharedTapeReadSettings() = first.tape;
  writer.WriteConfiguration(shell::ConfigurationScope::kAll);
  fuzz::Require(Read(path) == first, "written settings read back the same");
  return 0;
}
