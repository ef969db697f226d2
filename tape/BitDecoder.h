// Second stage of the tape decoder: alternating peaks to bits by half-wave width.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tape {

// One half-wave: the sample index just after the extreme that ended it, and its bit
// (1 for a short half-wave, 0 for a long one).
struct BitEvent {
  std::int32_t sampleIndex = 0;
  std::uint8_t bit = 0;
};

// The long/short limit in samples: 0.5 ms, i.e. three quarters of a 1500 Hz half-wave
// (22.05 samples at 44100 Hz).
inline double LongShortLimit(double sampleRateHz) { return ((sampleRateHz * 0.5 / 1500.0) * 3.0) * 0.5; }

// Peak detector with hysteresis. It waits in kLow for a maximum above +threshold, then
// in kHigh for a minimum below -threshold, so maxima and minima alternate, beginning with
// a maximum. Each extreme closes the half-wave since the previous one. Samples may be fed
// in pieces; indices continue across calls. Single owner; Process appends to `events`.
class BitDecoder {
 public:
  enum class State { kLow, kHigh };

  void Reset(double sampleRateHz, double threshold);
  void Process(std::span<const double> samples, std::vector<BitEvent>& events);

  State GetState() const { return state_; }

 private:
  State state_ = State::kLow;
  double previous_ = 0.0;
  double threshold_ = 0.0;
  double limit_ = 0.0;
  std::int64_t lastExtreme_ = 0;
  std::int64_t index_ = 0;
};

// The whole conditioned recording in one call. Indices must fit in 32 bits (the caller
// limits the recording's length).
std::vector<BitEvent> DecodeBits(std::span<const double> samples, double sampleRateHz, double threshold);

}  // namespace tape
