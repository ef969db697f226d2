// A digitally controlled oscillator: a 27-bit phase accumulator reading the band-limited
// wavetables without interpolation, with a pulse mode made of two sawtooth reads.
#pragma once

#include "engine/dsp/Lanes.h"

#include <cstdint>
#include <memory>

#include "engine/dsp/RateTables.h"
#include "engine/dsp/Wavetables.h"

namespace engine {

// What all voices' oscillators in one position share: wave and pitch offset. Plain record,
// written under the plug-in lock between blocks.
struct OscillatorSettings {
  int wave = kWaveSaw;
  int octaveIndex = 0;
  int intervalOffset = 0;
  int pitchOffset = -1536;  // (octaveIndex - 1) * 12 semitones + interval

  // 0 saw, 1 square/pulse, 2 ... 4 stacked squares, 5 off (out-of-range codes count as off).
  void SetWaveCode(int code) { wave = (code >= kWaveSaw && code <= kWaveOff) ? code : kWaveOff; }
  // 0 = 16' (down an octave), 1 = 8', 2 = 4' (up an octave).
  void SetOctave(int index);
  // Interval above the played note, in pitch code.
  void SetIntervalOffset(int code);
};

// What a pitch change takes from the pulse width, the same for every oscillator in one
// position at one tick: where the second read sits and whether pulse mode is on.
struct OscillatorWidth {
  std::uint32_t offset = 0;  // phase units from the first read to the second
  bool pulse = false;

  // Width x limited to 0 ... 1 (NaN counts as 0, a closed pulse): 1 = plain square and
  // the second read half a cycle (2^26 phase units) away; pulse mode only below 1 and only
  // for wave code 1.
  static OscillatorWidth For(double width, const OscillatorSettings& s) {
    const double x = width >= 0.0 ? (width < 1.0 ? width : 1.0) : 0.0;
    return {static_cast<std::uint32_t>(x * 67108864.0), s.wave == kWaveSquare && x < 1.0};
  }
};

// One oscillator's own state.
struct OscillatorState {
  static constexpr std::uint32_t kPhaseMask = (1u << 27) - 1;

  std::uint32_t phase = 0;
  std::uint32_t phase2 = 0;  // the second read of pulse mode
  std::uint32_t increment = 0;
  int tableIndex = 0;
  bool pulse = false;

  // Fifteen random bits (0 ... 32767) times 2048: the start lies in the first half-cycle;
  // second phase and increment cleared.
  void DrawStartPhase(int randomBits);

  // Control rate: pitch code p (any int) plus the settings' offset, and pulse width
  // (OscillatorWidth::For).
  void SetPitch(int p, double width, const OscillatorSettings& s, const RateTables& rates) {
    SetPitch(p, OscillatorWidth::For(width, s), s, rates);
  }
  void SetPitch(int p, const OscillatorWidth& width, const OscillatorSettings& s, const RateTables& rates) {
    const int code = TableCode(p, s);
    increment = static_cast<std::uint32_t>(rates.increment[code]);
    pulse = width.pulse;
    phase2 = (phase + width.offset) & kPhaseMask;
    tableIndex = rates.table[code];
  }

  // The rate tables' entry for pitch code p plus the settings' offset: clamped to 0 ... 17280.
  static int TableCode(int p, const OscillatorSettings& s) {
    const long c = static_cast<long>(p) + s.pitchOffset;
    return c < 0 ? 0 : (c > kMaxPitchCode ? kMaxPitchCode : static_cast<int>(c));
  }
};

// The per-sample read over lanes. An oscillator that is off answers 0 and keeps its phases;
// the caller checks that once per span (the wave is shared), not per sample.
template <class L>
struct OscillatorLanes {
  using I = typename L::I32;
  I phase, phase2, increment, firstRead, secondRead;
  typename L::Mask pulse;
  bool anyPulse = false;
  // Without a pulse lane the second phase is not read: it is advanced by `skipped` steps
  // at Save instead of every sample (the same value: both wrap modulo 2^27). Render leaves
  // the count to its caller (Skip), so that a loop of samples adds it once.
  std::uint32_t skipped = 0;
  // Each lane's table and pulse mode, for the reads (they change only at Load).
  std::int32_t tableIndex[L::kWidth] = {};
  bool pulseLane[L::kWidth] = {};

  void Load(const OscillatorState* const* states, const OscillatorSettings& s) {
    std::int32_t ph[L::kWidth], ph2[L::kWidth], inc[L::kWidth];
    anyPulse = false;
    for (int i = 0; i < L::kWidth; ++i) {
      const OscillatorState& o = *states[i];
      ph[i] = static_cast<std::int32_t>(o.phase);
      ph2[i] = static_cast<std::int32_t>(o.phase2);
      inc[i] = static_cast<std::int32_t>(o.increment);
      tableIndex[i] = o.tableIndex;
      pulseLane[i] = o.pulse;
      anyPulse = anyPulse || o.pulse;
    }
    phase = L::LoadInt(ph);
    phase2 = L::LoadInt(ph2);
    increment = L::LoadInt(inc);
    pulse = L::LoadMask(pulseLane);
    skipped = 0;
    ApplySettings(s);
  }
  // The reads for the settings' wave: after Load, and when the wave changes while the lanes
  // run.
  void ApplySettings(const OscillatorSettings& s) {
    std::int32_t first[L::kWidth], second[L::kWidth];
    for (int i = 0; i < L::kWidth; ++i) {
      // The first read: the sawtooth in pulse mode, else the table of the settings' wave.
      first[i] =
          ((pulseLane[i] ? kWaveSaw : s.wave) * Wavetables::kTablesPerSet + tableIndex[i]) * Wavetables::kTableSize;
      second[i] = tableIndex[i] * Wavetables::kTableSize;
    }
    firstRead = L::LoadInt(first);
    secondRead = L::LoadInt(second);
  }
  // Control rate: lane i to pitch code p[i] (OscillatorState::SetPitch on each lane).
  void SetPitch(const int* p, const OscillatorWidth& width, const OscillatorSettings& s, const RateTables& rates) {
    std::int32_t ph[L::kWidth], ph2[L::kWidth], inc[L::kWidth];
    L::StoreInt(ph, phase);
    for (int i = 0; i < L::kWidth; ++i) {
      const int code = OscillatorState::TableCode(p[i], s);
      inc[i] = rates.increment[code];
      tableIndex[i] = rates.table[code];
      pulseLane[i] = width.pulse;
      ph2[i] =
          static_cast<std::int32_t>((static_cast<std::uint32_t>(ph[i]) + width.offset) & OscillatorState::kPhaseMask);
    }
    increment = L::LoadInt(inc);
    phase2 = L::LoadInt(ph2);
    pulse = L::LoadMask(pulseLane);
    anyPulse = width.pulse;
    skipped = 0;
    ApplySettings(s);
  }
  void Save(OscillatorState* const* states) const {
    std::int32_t ph[L::kWidth], ph2[L::kWidth], inc[L::kWidth];
    L::StoreInt(ph, phase);
    L::StoreInt(ph2, phase2);
    L::StoreInt(inc, increment);
    for (int i = 0; i < L::kWidth; ++i) {
      OscillatorState& o = *states[i];
      o.phase = static_cast<std::uint32_t>(ph[i]);
      const std::uint32_t step = skipped * static_cast<std::uint32_t>(inc[i]);
      o.phase2 = (static_cast<std::uint32_t>(ph2[i]) + step) & OscillatorState::kPhaseMask;
      o.increment = static_cast<std::uint32_t>(inc[i]);
      o.tableIndex = tableIndex[i];
      o.pulse = pulseLane[i];
    }
  }

  // One sample from the store `tables` (Wavetables::Data()); pulseMode is anyPulse (passed
  // in so that a loop keeps it in a register). Call Skip(samples) after the samples.
  TESVAR_LANES_INLINE typename L::F64 Render(const double* tables, bool pulseMode) {
    typename L::F64 out = L::Gather(tables, firstRead + (phase >> 16));
    const I mask = L::BroadcastInt(static_cast<std::int32_t>(OscillatorState::kPhaseMask));
    if (pulseMode) {
      const typename L::F64 second = L::Gather(tables, secondRead + (phase2 >> 16));
      out = L::Select(pulse, (out - second) * L::Broadcast(0.5), out);
      phase2 = (phase2 + increment) & mask;
    }
    phase = (phase + increment) & mask;
    return out;
  }
  void Skip(int samples) {
    if (!anyPulse) skipped += static_cast<std::uint32_t>(samples);
  }
};

}  // namespace engine
