// Voice note handling, control updates and parameter routing.
#include "engine/Voice.h"

#include <cmath>

namespace engine {
namespace {

// "DCO2 Interval" values "1", "-3", "3", "4", "5" as semitones above DCO1.
constexpr int kIntervalSemitones[5] = {0, 3, 4, 5, 7};

int ListIndex(double v, int last) {
  const auto i = RoundHalfAway(v > 0.0 ? (v < last ? v : last) : 0.0);
  return static_cast<int>(i);
}

}  // namespace

Voice::Voice() {
  dco2_.SetWaveCode(kWaveOff);
  // Until the product sends its parameters, a voice plays like the defaults: 8' octaves,
  // full cutoff.
  dco1_.SetOctave(1);
  dco2_.SetOctave(1);
  vcf_.SetCutoffTarget(kMaxPitchCode);
}

void Voice::SetSampleRate(double sampleRate, StartPhases* phases) {
  active_ = keyDown_ = sustained_ = false;
  keyOffset_ = 0.0;
  note_ = 60;
  dco1_.SetSampleRate(sampleRate, phases != nullptr ? phases->Next() : 0);
  dco2_.SetSampleRate(sampleRate, phases != nullptr ? phases->Next() : 0);
  vcf_.SetSampleRate(sampleRate);
  eg1_.SetSampleRate(sampleRate);
  eg2_.SetSampleRate(sampleRate);
}

void Voice::SetParameter(int index, double v, double e) {
  switch (index) {
    case 8: dco1_.SetOctave(ListIndex(v, 2)); break;
    case 9: dco1_.SetWaveCode(v > 0.0 ? kWaveSquare : kWaveSaw); break;
    case 12: dco2_.SetOctave(ListIndex(v, 2)); break;
    case 13: dco2_.SetWaveCode(ListIndex(v, kWaveOff)); break;
    case 14: dco2_.SetIntervalOffset(kIntervalSemitones[ListIndex(v, 4)] * kCodesPerSemitone); break;
    case 15: dco2Detune_ = ListIndex(v, 60); break;
    case 16: vcf_.SetCutoffTarget(std::trunc(v)); break;
    case 17: vcf_.SetResonance(e); break;
    case 18: keyboardTracking_ = v; break;
    case 19: envelopeDepth_ = v; break;
    case 20: vcf_.Set24dB(e > 0.5); break;
    case 21: eg1_.SetAttack(e); break;
    case 22: eg1_.SetDecay(e); break;
    case 23: eg1_.SetSustain(e); break;
    case 24: eg1_.SetRelease(e); break;
    case 25: vcaUsesEg2_ = e < 0.5; break;
    case 26: eg2_.SetAttack(e); break;
    case 27: eg2_.SetDecay(e); break;
    case 28: eg2_.SetSustain(e); break;
    case 29: eg2_.SetRelease(e); break;
    default: break;  // 31 (MG delay) and the reserved 44 ... 50 reach the voice but do nothing
  }
}

void Voice::UpdatePitch(const ModulationValues& mod) {
  const int p = static_cast<int>(basePitch_ + unisonDetune_ + mod.pitch);
  dco1_.SetPitch(p, 1.0 - mod.pulseAmount);
  // DCO2 always runs at full width: its wave code 1 is a plain square.
  dco2_.SetPitch(p + dco2Detune_, 1.0);
  filterModulation_ = keyboardTracking_ * keyOffset_ + mod.filter;
}

void Voice::NoteOn(int note, int basePitch, int stamp, int unisonDetune, const ModulationValues& mod) {
  basePitch_ = basePitch;
  unisonDetune_ = unisonDetune;
  startStamp_ = stamp;
  held_ = active_ = keyDown_ = true;
  note_ = note;
  eg1_.GateOn();
  eg2_.GateOn();
  keyOffset_ = (note - 48) * 128.0;
  vcf_.PresetCutoff();
  UpdatePitch(mod);
  active_ = !AmpEnvelope().IsIdle();
}

void Voice::NoteOff(bool forced) {
  keyDown_ = false;
  if (!forced && sustained_) return;
  held_ = false;
  eg1_.Release();
  eg2_.Release();
}

void Voice::SetSustain(bool on) {
  sustained_ = on;
  if (keyDown_ || on) return;
  held_ = false;
  eg1_.Release();
  eg2_.Release();
}

void Voice::ReleaseNow() {
  keyDown_ = false;
  held_ = false;
  eg1_.Release();
  eg2_.Release();
}

void Voice::UpdateControl(const ModulationValues& mod) {
  if (!active_) return;
  UpdatePitch(mod);
  active_ = !AmpEnvelope().IsIdle();
}

}  // namespace engine
