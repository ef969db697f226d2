// The five values that steer the tape-dump decoder's signal conditioning.
#pragma once

namespace tape {

// The shell keeps one process-wide instance (loaded from and saved to the "Tape Read"
// section of the configuration file); the decoder only receives a copy per import.
// Frequencies in Hz, threshold in percent of the recording's mean absolute level.
struct TapeReadSettings {
  bool highPassEnabled = true;
  bool lowPassEnabled = true;
  double highPassHz = 330.0;
  double lowPassHz = 5000.0;
  double thresholdPercent = 50.0;
};

}  // namespace tape
