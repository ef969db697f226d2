// One synthesizer voice: DCO1 + DCO2 through the ladder filter into the amplifier, with
// EG1 on the filter and EG1 or EG2 on the amplifier.
#pragma once

#include "engine/Envelope.h"
#include "engine/LadderFilter.h"
#include "engine/Modulation.h"
#include "engine/Oscillator.h"
#include "engine/StartPhases.h"

namespace engine {

// A plain record driven by the render loop and the voice allocator. Threads: SetSampleRate
// on the dispatcher thread (it may lock and allocate); SetParameter wherever the product
// applies parameters (under the plug-in lock, between blocks); everything else on the audio
// thread. Voices are copyable (a copy continues from the same state).
class Voice {
 public:
  Voice();

  // New rate for the oscillators, filter and envelopes; the voice falls silent (inactive,
  // key up, not sustained, note 60, envelopes idle at 0). The oscillators draw their start
  // phases from `phases` (from 0 when none is given).
  void SetSampleRate(double sampleRate, StartPhases* phases = nullptr);

  // Voice-level share of a parameter change (index 0 ... 50, plain value v, normalised e).
  // Some indices carry values the product has already converted: 9 the DCO1 wave code,
  // 13 the DCO2 wave code, 15 the DCO2 detune in pitch code, 16 the base cutoff in pitch
  // code, 19 the filter envelope depth in pitch code per unit of EG1. Others are ignored.
  void SetParameter(int index, double v, double e);

  // Starts `note` (the played note, chord offset included) at pitch code basePitch (from
  // the tuning: note*128 unless retuned), with a unison detune in pitch code and the start
  // stamp used for stealing. Gates both envelopes from their current level and sets pitch
  // and filter tracking from the current modulation.
  void NoteOn(int note, int basePitch, int stamp, int unisonDetune, const ModulationValues& mod);

  // Key released. A sustained voice keeps sounding unless `forced`.
  void NoteOff(bool forced);
  // Sustain pedal or hold; releasing it releases a voice whose key is already up.
  void SetSustain(bool on);
  // All notes off: key up, not held, both envelopes released (idle at once from level 0).
  void ReleaseNow();

  // Control tick for a voice in use: pitch, pulse width and filter tracking follow the
  // modulation; the voice goes inactive once its amplifier envelope is idle.
  void UpdateControl(const ModulationValues& mod);

  // One sample; an inactive voice answers 0 and advances nothing.
  double Render() {
    if (!active_) return 0.0;
    eg1_.Process();
    eg2_.Process();
    const int m = static_cast<int>(envelopeDepth_ * eg1_.Level() + filterModulation_);
    const double osc = dco2_.Render() + dco1_.Render();
    return vcf_.Process(osc, m) * (vcaUsesEg2_ ? eg2_.Level() : eg1_.Level());
  }

  // Adds `frames` samples, scaled by the pan gains, to the two mix buses.
  void RenderAdd(double* left, double* right, int frames, double leftGain, double rightGain) {
    if (!active_) return;
    for (int i = 0; i < frames; ++i) {
      const double s = Render();
      left[i] += s * leftGain;
      right[i] += s * rightGain;
    }
  }

  bool IsActive() const { return active_; }
  bool IsKeyDown() const { return keyDown_; }
  bool IsSustained() const { return sustained_; }
  bool IsHeld() const { return held_; }
  int Note() const { return note_; }
  int StartStamp() const { return startStamp_; }
  int BasePitch() const { return basePitch_; }
  int UnisonDetune() const { return unisonDetune_; }
  int Dco2Detune() const { return dco2Detune_; }
  double FilterModulation() const { return filterModulation_; }
  double KeyboardTracking() const { return keyboardTracking_; }
  double EnvelopeDepth() const { return envelopeDepth_; }
  bool VcaUsesEg2() const { return vcaUsesEg2_; }
  const Oscillator& Dco1() const { return dco1_; }
  const Oscillator& Dco2() const { return dco2_; }
  const LadderFilter& Vcf() const { return vcf_; }
  const Envelope& Eg1() const { return eg1_; }
  const Envelope& Eg2() const { return eg2_; }
  const Envelope& AmpEnvelope() const { return vcaUsesEg2_ ? eg2_ : eg1_; }

 private:
  void UpdatePitch(const ModulationValues& mod);

  Oscillator dco1_;
  Oscillator dco2_;
  LadderFilter vcf_;
  Envelope eg1_;
  Envelope eg2_;
  double keyboardTracking_ = 1.0;
  double envelopeDepth_ = 0.0;
  bool vcaUsesEg2_ = true;
  int dco2Detune_ = 0;
  bool active_ = false;
  bool keyDown_ = false;
  bool sustained_ = false;
  bool held_ = false;
  double keyOffset_ = 0.0;  // (note - 48) * 128: note 48 is the tracking pivot
  double filterModulation_ = 0.0;
  int basePitch_ = 60 * kCodesPerSemitone;
  int unisonDetune_ = 0;
  int note_ = 60;
  int startStamp_ = 0;
};

}  // namespace engine
