// The shared voice settings' defaults and rate.
#include "engine/VoicePatch.h"

namespace engine {

VoicePatch::VoicePatch() {
  dco1.SetOctave(1);
  dco2.SetOctave(1);
  dco2.SetWaveCode(kWaveOff);
  vcf.SetCutoffTarget(kMaxPitchCode);
  Wavetables::Get();
}

void VoicePatch::SetSampleRate(double sampleRate) {
  vcf.SetSampleRate(sampleRate);
  eg1.SetSampleRate(sampleRate);
  eg2.SetSampleRate(sampleRate);
}

}  // namespace engine
