// Measurements on rendered audio for the engine tests: pitch from interpolated zero
// crossings, level at one frequency, and checks for non-finite or subnormal samples.
#pragma once

#include <cfloat>
#include <cmath>
#include <numbers>
#include <vector>

namespace engine_test {

// Fundamental in Hz from the falling zero crossings, each located by linear interpolation
// between the two samples around it. A crossing counts only after the signal has risen
// above +threshold since the previous one, so ripple near zero is not counted twice.
// Answers 0 when fewer than two crossings are found.
inline double ZeroCrossingFrequency(const std::vector<double>& x, double sampleRate, double threshold) {
  double first = -1.0;
  double last = -1.0;
  int count = 0;
  bool armed = false;
  for (std::size_t i = 1; i < x.size(); ++i) {
    if (x[i] > threshold) armed = true;
    if (armed && x[i - 1] > 0.0 && x[i] <= 0.0) {
      const double t = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
      if (count == 0) first = t;
      last = t;
      ++count;
      armed = false;
    }
  }
  if (count < 2) return 0.0;
  return (count - 1) * sampleRate / (last - first);
}

// Amplitude of the component at `hz`, Hann-windowed single-bin DFT over the whole signal.
// A sine of amplitude A measures about A when the signal holds many of its cycles.
inline double AmplitudeAt(const std::vector<double>& x, double sampleRate, double hz) {
  const double w = 2.0 * std::numbers::pi * hz / sampleRate;
  const double n = static_cast<double>(x.size());
  double re = 0.0, im = 0.0, sum = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double win = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / n);
    re += win * x[i] * std::cos(w * i);
    im -= win * x[i] * std::sin(w * i);
    sum += win;
  }
  return 2.0 * std::sqrt(re * re + im * im) / sum;
}

inline double Cents(double measured, double expected) { return 1200.0 * std::log2(measured / expected); }

// True if every sample is finite and none is subnormal.
inline bool AllNormalOrZero(const std::vector<double>& x) {
  for (double v : x) {
    if (!std::isfinite(v)) return false;
    if (v != 0.0 && std::fabs(v) < DBL_MIN) return false;
  }
  return true;
}

}  // namespace engine_test
