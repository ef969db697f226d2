// Four-stage ladder low-pass with a saturating resonance loop, 12 or 24 dB per octave.
#pragma once

#include "engine/dsp/Lanes.h"

#include <cfloat>
#include <memory>

#include "engine/dsp/Filter.h"
#include "engine/dsp/Pitch.h"
#include "engine/dsp/RateTables.h"

namespace engine {

// Each stage is a bilinear one-pole in transposed form (gain G = W/(W+2), state feedback
// R = (W-2)/(W+2)) with W = pi*f/rate for the cutoff code's frequency f: the analogue pole
// sits at angular frequency pi*f, so a stage's corner is at f/2 (the knob's top, 19.9 kHz,
// opens the filter to about 10 kHz). The loop around the four stages is solved by predicting
// the fourth stage's output linearly, saturating the prediction and feeding it back with
// gain k.

// What all voices' filters share: resting cutoff, resonance, slope, and what follows from
// them and the rate. Plain record, written under the plug-in lock between blocks; the rate
// change may allocate.
struct LadderSettings {
  double cutoffTarget = 0.0;  // resting cutoff in pitch code, 0 ... 17280
  bool wholeTarget = true;    // cutoffTarget is a whole number
  double resonance = 0.0;     // 0 ... 1 ("VCF Resonance" normalised)
  bool mode24 = false;
  // Derived from resonance and slope: the output gain, and the resonance feedback k per
  // unit of the rate table's Q.
  double gain = 1.0;
  double feedback = 0.0;
  std::shared_ptr<const RateTables> rates;
  // Plain copies for the per-sample code: the rate tables' G, R and Q, and the 10 Hz cutoff
  // smoother's coefficients.
  const double* tableG = nullptr;
  const double* tableR = nullptr;
  const double* tableQ = nullptr;
  double smootherB0 = 0.0, smootherB1 = 0.0, smootherC1 = 0.0, smootherC2 = 0.0;

  LadderSettings();
  // The tables for the rate and the smoother's coefficients.
  void SetSampleRate(double sampleRate);
  void SetCutoffTarget(double code);
  void SetResonance(double r);
  void Set24dB(bool on);
};

// The coefficients for one cutoff code.
struct LadderCoefficients {
  double g, r, k, g4, norm;
  static LadderCoefficients For(int code, const LadderSettings& s);
};

// One filter's own state.
struct LadderState {
  static constexpr int kNoCode = -2;  // no coefficients derived yet (codes run -1 ... 17281)

  double s1 = 0.0;
  double s2 = 1.0;
  double s3 = 0.0;
  double s4 = -1.0;
  double delta = 1e-13;  // the alternating dither, negated every sample
  double smoothedCutoff = 0.0;
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;  // the smoother's history
  int code = kNoCode;                             // cutoff code of the coefficients in use

  // New rate: stages restarted, smoother history cleared, coefficients to be derived.
  void Restart();
  // Note-on: start at the resting cutoff instead of gliding from the last one.
  void PresetCutoff(double target);
};

// The per-sample filter over lanes. Load derives each lane's coefficients from its code;
// Process is one sample; Save writes the state back.
template <class L>
struct LadderLanes {
  using F = typename L::F64;
  using M = typename L::Mask;
  F s1, s2, s3, s4, delta, smoothed, code;
  F g, r, k, g4, norm;
  BiquadLanes<L> smoother;
  // Shared by the lanes.
  F target, feedback, gain;
  bool mode24 = false;
  bool wholeTarget = true;
  // Some lane's smoothed cutoff differs from the target: only the smoother moves either,
  // so this is found again only after it has run or the target has changed.
  bool gliding = false;
  const double* tableG = nullptr;
  const double* tableR = nullptr;
  const double* tableQ = nullptr;

  void Load(const LadderState* const* states, const LadderSettings& s) {
    double v[11][L::kWidth];
    for (int i = 0; i < L::kWidth; ++i) {
      const LadderState& st = *states[i];
      const double values[11] = {st.s1, st.s2, st.s3, st.s4, st.delta, st.smoothedCutoff, static_cast<double>(st.code),
                                 st.x1, st.x2, st.y1, st.y2};
      for (int j = 0; j < 11; ++j) v[j][i] = values[j];
    }
    s1 = L::Load(v[0]);
    s2 = L::Load(v[1]);
    s3 = L::Load(v[2]);
    s4 = L::Load(v[3]);
    delta = L::Load(v[4]);
    smoothed = L::Load(v[5]);
    code = L::Load(v[6]);
    smoother.x1 = L::Load(v[7]);
    smoother.x2 = L::Load(v[8]);
    smoother.y1 = L::Load(v[9]);
    smoother.y2 = L::Load(v[10]);
    ApplySettings(s);
  }

  // What the lanes take from the settings, and the coefficients of each lane's code: after
  // Load, and when the settings change while the lanes run.
  void ApplySettings(const LadderSettings& s) {
    smoother.SetCoefficients(s.smootherB0, s.smootherB1, s.smootherC1, s.smootherC2);
    target = L::Broadcast(s.cutoffTarget);
    feedback = L::Broadcast(s.feedback);
    gain = L::Broadcast(s.gain);
    mode24 = s.mode24;
    wholeTarget = s.wholeTarget;
    tableG = s.tableG;
    tableR = s.tableR;
    tableQ = s.tableQ;
    const F zero = L::Broadcast(0.0);
    g = r = k = g4 = norm = zero;
    Derive(zero == zero, code);
    gliding = L::Any(smoothed != target);
  }

  void Save(LadderState* const* states) const {
    double v[11][L::kWidth];
    const F lanes[11] = {s1, s2, s3, s4, delta, smoothed, code, smoother.x1, smoother.x2, smoother.y1, smoother.y2};
    for (int j = 0; j < 11; ++j) L::Store(v[j], lanes[j]);
    for (int i = 0; i < L::kWidth; ++i) {
      LadderState& st = *states[i];
      st.s1 = v[0][i];
      st.s2 = v[1][i];
      st.s3 = v[2][i];
      st.s4 = v[3][i];
      st.delta = v[4][i];
      st.smoothedCutoff = v[5][i];
      st.code = static_cast<int>(v[6][i]);
      st.x1 = v[7][i];
      st.x2 = v[8][i];
      st.y1 = v[9][i];
      st.y2 = v[10][i];
    }
  }

  // New coefficients in the lanes of `changed`, for codes c (table ends beyond the range;
  // a code that is not a number reads the first entry instead of far outside the table).
  TESVAR_LANES_INLINE void Derive(M changed, F c) {
    const F i =
        L::Select(c >= L::Broadcast(0.0), L::Select(c > L::Broadcast(kMaxPitchCode), L::Broadcast(kMaxPitchCode), c),
                  L::Broadcast(0.0));
    const typename L::I32 index = L::Truncate(i);
    const F newG = L::Gather(tableG, index);
    const F newK = feedback * L::Gather(tableQ, index);
    const F g2 = newG * newG;
    const F newG4 = g2 * g2;
    g = L::Select(changed, newG, g);
    r = L::Select(changed, L::Gather(tableR, index), r);
    k = L::Select(changed, newK, k);
    g4 = L::Select(changed, newG4, g4);
    // Solves y = prediction + G^4 * (x - k*y) for y (with the saturator taken as linear).
    norm = L::Select(changed, L::Broadcast(1.0) / (L::Broadcast(1.0) + newG4 * newK), norm);
    code = L::Select(changed, c, code);
  }

  // Adds the dither to a normal value, zeroes anything else (zero, subnormal, infinite, NaN).
  static TESVAR_LANES_INLINE F Dither(F v, F d) { return L::Keep(L::IsNormal(v), v + d); }

  // The soft clipper of the feedback path: odd, about y for small y, +-5 beyond |y| = 15.
  static TESVAR_LANES_INLINE F Saturate(F y) {
    const F t = L::Broadcast(0.2) * y;
    const F curve =
        (t * t + L::Broadcast(27.0)) * L::Broadcast(5.0) * t / (L::Broadcast(9.0) * t * t + L::Broadcast(27.0));
    return L::Select(t < L::Broadcast(-3.0), L::Broadcast(-5.0),
                     L::Select(t > L::Broadcast(3.0), L::Broadcast(5.0), curve));
  }

  // One sample; m = cutoff modulation in whole pitch codes, added to the smoothed cutoff.
  TESVAR_LANES_INLINE F Process(F x, F m) { return Process(x, m, mode24, wholeTarget); }
  // The same with the settings' slope and target kind passed in (a loop keeps them in
  // registers).
  TESVAR_LANES_INLINE F Process(F x, F m, bool slope24, bool wholeCutoff) {
    const bool anyGliding = gliding;
    if (anyGliding) {
      const M lanes = smoothed != target;
      BiquadLanes<L> next = smoother;
      const F y = next.Process(target);
      smoother.x1 = L::Select(lanes, next.x1, smoother.x1);
      smoother.x2 = L::Select(lanes, next.x2, smoother.x2);
      smoother.y1 = L::Select(lanes, next.y1, smoother.y1);
      smoother.y2 = L::Select(lanes, next.y2, smoother.y2);
      smoothed = L::Select(lanes, y, smoothed);
      gliding = L::Any(smoothed != target);
    }
    const F wanted = m + smoothed;
    // Codes beyond the tables read the end entries; clamping first keeps the rounding in
    // range without changing which entry is read. Then rounding half away from zero, which
    // leaves whole numbers as they are: at rest on a whole target, m + cutoff is one.
    // Max(-1, Min(17281, w)): -1 below, 17281 above, w itself otherwise (NaN included).
    const F clamped = L::Max(L::Broadcast(-1.0), L::Min(L::Broadcast(17281.0), wanted));
    F c = clamped;
    if (anyGliding || !wholeCutoff) {
      const F whole = L::ToF64(L::Truncate(clamped));
      const F rest = clamped - whole;
      c = L::Select(rest >= L::Broadcast(0.5), whole + L::Broadcast(1.0),
                    L::Select(rest <= L::Broadcast(-0.5), whole - L::Broadcast(1.0), whole));
    }
    const M changed = c != code;
    if (L::Any(changed)) Derive(changed, c);

    delta = -delta;
    const F d = delta;
    // The dither and the checks run beside the recursion, not on its critical path.
    x = Dither(x, d);
    F a1 = Dither(s1, d), a2 = Dither(s2, d), a3 = Dither(s3, d), a4 = Dither(s4, d);
    const F y = (((a1 * g + a2) * g + a3) * g + a4 + x * g4) * norm;
    const F u = (x - k * Saturate(y)) * g;
    const F o1 = a1 + u;
    s1 = u - r * o1;
    const F u2 = g * o1;
    const F o2 = a2 + u2;
    s2 = u2 - r * o2;
    const F u3 = g * o2;
    const F o3 = a3 + u3;
    s3 = u3 - r * o3;
    const F u4 = g * o3;
    const F o4 = a4 + u4;
    s4 = u4 - r * o4;
    return (slope24 ? y : o2) * gain;
  }
};

}  // namespace engine
