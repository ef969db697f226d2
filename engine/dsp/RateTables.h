// Lookup tables that depend on the sample rate: oscillator phase increments and the
// ladder filter's W and Q, one immutable set per rate.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "engine/dsp/Pitch.h"

namespace engine {

// One set of tables for one sample rate, never written after it is built. Instances at
// different rates hold different sets, so one instance's rate change never disturbs another
// instance's pitch.
struct RateTables {
  double sampleRate = 44100.0;
  // Phase units (2^27 per cycle) per sample for each pitch code 0 ... 17280.
  std::array<std::int32_t, kPitchCodeCount> increment{};
  // The wavetable each increment reads (Wavetables::TableForIncrement), so that a pitch
  // change at the control tick looks its table up instead of searching for it.
  std::array<std::uint8_t, kPitchCodeCount> table{};
  // Ladder: W[c] = f(c)*pi/sampleRate, and each stage's gain G = W/(W + 2) and state
  // feedback R = (W - 2)/(W + 2) from it.
  std::array<double, kPitchCodeCount> ladderW{};
  std::array<double, kPitchCodeCount> ladderG{};
  std::array<double, kPitchCodeCount> ladderR{};
  // Ladder: resonance feedback scale, 4.1 below 500 Hz sliding to 4.005 above 2 kHz.
  std::array<double, kPitchCodeCount> ladderQ{};

  // The set for `sampleRate`; a rate that is not a positive finite number counts as
  // 44100 Hz. Built on the first request for a rate (about 620 kB, a millisecond) under a
  // process-wide mutex, shared while any holder keeps it and freed after the last one lets
  // go. Call from a non-audio context (construction, sample-rate change): it may lock and
  // allocate.
  static std::shared_ptr<const RateTables> For(double sampleRate);

  explicit RateTables(double rate);
};

}  // namespace engine
