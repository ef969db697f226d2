// Voice note handling and control updates.
#include "engine/Voice.h"

#include "engine/VoicePack.h"
#include "engine/dsp/Lanes.h"

namespace engine {

void Voice::Restart(StartPhases* phases) {
  active_ = keyDown_ = sustained_ = false;
  keyOffset_ = 0.0;
  note_ = 60;
  dco1_.DrawStartPhase(phases != nullptr ? phases->Next() : 0);
  dco2_.DrawStartPhase(phases != nullptr ? phases->Next() : 0);
  vcf_.Restart();
  eg1_ = EnvelopeState{};
  eg2_ = EnvelopeState{};
}

void Voice::UpdatePitch(const ModulationValues& mod, const VoicePatch& patch) {
  const int p = ControlPitch(mod);
  dco1_.SetPitch(p, Dco1Width(mod), patch.dco1, patch.Rates());
  dco2_.SetPitch(p + patch.dco2Detune, kDco2Width, patch.dco2, patch.Rates());
  filterModulation_ = FilterTracking(mod, patch);
}

void Voice::NoteOn(int note, int basePitch, int unisonDetune, const ModulationValues& mod, const VoicePatch& patch) {
  basePitch_ = basePitch;
  unisonDetune_ = unisonDetune;
  held_ = active_ = keyDown_ = true;
  note_ = note;
  eg1_.GateOn();
  eg2_.GateOn();
  keyOffset_ = (note - 48) * 128.0;
  vcf_.PresetCutoff(patch.vcf.cutoffTarget);
  UpdatePitch(mod, patch);
  active_ = !AmpEnvelope(patch).IsIdle();
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

void Voice::UpdateControl(const ModulationValues& mod, const VoicePatch& patch) {
  if (!active_) return;
  UpdatePitch(mod, patch);
  active_ = !AmpEnvelope(patch).IsIdle();
}

double Voice::Render(const VoicePatch& patch) {
  if (!active_) return 0.0;
  VoiceLanes<ScalarLanes> lanes;
  Voice* self = this;
  lanes.Load(&self, patch);
  const VoiceSwitches on = VoiceSwitches::For(patch);
  const double s = lanes.Sample(on, lanes.dco1.anyPulse, lanes.dco2.anyPulse, Wavetables::Get().Data()).v[0];
  lanes.Skip(on, 1);
  lanes.Save(&self);
  return s;
}

}  // namespace engine
