// One synthesizer voice: DCO1 + DCO2 through the ladder filter into the amplifier, with
// EG1 on the filter and EG1 or EG2 on the amplifier.
#pragma once

#include "engine/Modulation.h"
#include "engine/StartPhases.h"
#include "engine/VoicePatch.h"

namespace engine {

template <class L>
struct VoiceLanes;

// A voice's own state; what all voices share is the VoicePatch each operation is given.
// Driven by the render loop and the voice allocator: Restart on the dispatcher thread,
// everything else on the audio thread (or under the plug-in lock between blocks). Voices
// are copyable (a copy continues from the same state).
class Voice {
 public:
  // Silence for a new rate: inactive, key up, not sustained, note 60, envelopes idle at 0,
  // filter stages restarted. The oscillators draw their start phases from `phases` (from 0
  // when none is given).
  void Restart(StartPhases* phases = nullptr);

  // Starts `note` (the played note, chord offset included) at pitch code basePitch (from
  // the tuning: note*128 unless retuned), with a unison detune in pitch code. Gates both
  // envelopes from their current level and sets pitch and filter tracking from the current
  // modulation.
  void NoteOn(int note, int basePitch, int unisonDetune, const ModulationValues& mod, const VoicePatch& patch);

  // Key released. A sustained voice keeps sounding unless `forced`.
  void NoteOff(bool forced);
  // Sustain pedal or hold; releasing it releases a voice whose key is already up.
  void SetSustain(bool on);
  // All notes off: key up, not held, both envelopes released (idle at once from level 0).
  void ReleaseNow();

  // Control tick for a voice in use: pitch, pulse width and filter tracking follow the
  // modulation; the voice goes inactive once its amplifier envelope is idle.
  void UpdateControl(const ModulationValues& mod, const VoicePatch& patch);
  // The control tick's inputs, for the render loop's packs to apply as UpdateControl does:
  // the pitch code both oscillators start from (DCO2 adds the patch's detune), and the
  // filter tracking.
  int ControlPitch(const ModulationValues& mod) const {
    return static_cast<int>(basePitch_ + unisonDetune_ + mod.pitch);
  }
  double FilterTracking(const ModulationValues& mod, const VoicePatch& patch) const {
    return patch.keyboardTracking * keyOffset_ + mod.filter;
  }
  // The oscillators' pulse widths at a tick, the same for every voice: DCO2 always runs at
  // full width (its wave code 1 is a plain square).
  static double Dco1Width(const ModulationValues& mod) { return 1.0 - mod.pulseAmount; }
  static constexpr double kDco2Width = 1.0;
  // The render loop found the amplifier envelope idle at a control tick (in its lanes).
  void EndSound() { active_ = false; }

  // One sample on the scalar path; an inactive voice answers 0 and advances nothing. The
  // render loop renders whole spans of sounding voices side by side (VoiceKernel.h), with the
  // same result.
  double Render(const VoicePatch& patch);

  bool IsActive() const { return active_; }
  bool IsKeyDown() const { return keyDown_; }
  bool IsHeld() const { return held_; }
  int Note() const { return note_; }
  int BasePitch() const { return basePitch_; }
  int UnisonDetune() const { return unisonDetune_; }
  const OscillatorState& Dco1() const { return dco1_; }
  const OscillatorState& Dco2() const { return dco2_; }
  const LadderState& Vcf() const { return vcf_; }
  const EnvelopeState& Eg1() const { return eg1_; }
  const EnvelopeState& Eg2() const { return eg2_; }
  const EnvelopeState& AmpEnvelope(const VoicePatch& patch) const { return patch.vcaUsesEg2 ? eg2_ : eg1_; }

 private:
  template <class L>
  friend struct VoiceLanes;

  void UpdatePitch(const ModulationValues& mod, const VoicePatch& patch);

  OscillatorState dco1_;
  OscillatorState dco2_;
  LadderState vcf_;
  EnvelopeState eg1_;
  EnvelopeState eg2_;
  bool active_ = false;
  bool keyDown_ = false;
  bool sustained_ = false;
  bool held_ = false;
  double keyOffset_ = 0.0;  // (note - 48) * 128: note 48 is the tracking pivot
  double filterModulation_ = 0.0;
  int basePitch_ = 60 * kCodesPerSemitone;
  int unisonDetune_ = 0;
  int note_ = 60;
};

}  // namespace engine
