// Peak detection with hysteresis for the tape decoder.
#include "tape/BitDecoder.h"

#include <algorithm>

namespace tape {

void BitDecoder::Reset(double sampleRateHz, double threshold) {
  state_ = State::kLow;
  previous_ = 0.0;
  threshold_ = threshold;
  limit_ = LongShortLimit(sampleRateHz);
  lastExtreme_ = 0;
  index_ = 0;
}

void BitDecoder::Process(std::span<const double> samples, std::vector<BitEvent>& events) {
  State state = state_;
  double p = previous_;
  std::int64_t last = lastExtreme_;
  std::int64_t i = index_;
  const double t = threshold_;
  for (const double x : samples) {
    bool extreme = false;
    // A maximum is confirmed at the first sample that no longer rises once the signal
    // (this sample or the one before) is above +t; a minimum mirrors it.
    if (state == State::kLow && (x > t || p > t) && p >= x) {
      state = State::kHigh;
      extreme = true;
    } else if (state == State::kHigh && (x < -t || p < -t) && x >= p) {
      state = State::kLow;
      extreme = true;
    }
    p = x;
    if (extreme) {
      const std::int64_t u = i - 1;  // the extreme itself
      const std::uint8_t bit = double(u - last) > limit_ ? 0 : 1;
      events.push_back(BitEvent{std::int32_t(i), bit});
      last = u;
    }
    ++i;
  }
  state_ = state;
  previous_ = p;
  lastExtreme_ = last;
  index_ = i;
}

std::vector<BitEvent> DecodeBits(std::span<const double> samples, double sampleRateHz, double threshold) {
  BitDecoder decoder;
  decoder.Reset(sampleRateHz, threshold);
  std::vector<BitEvent> events;
  // A tone of 1 bits gives one event per 1/3000 s; reserving for that avoids regrowth.
  // There is never more than one event per sample.
  const double expected = double(samples.size()) * 3000.0 / (sampleRateHz > 1.0 ? sampleRateHz : 1.0);
  events.reserve(std::min(samples.size(), std::size_t(expected)) + 16);
  decoder.Process(samples, events);
  return events;
}

}  // namespace tape
