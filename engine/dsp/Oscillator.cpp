// Oscillator settings, pitch and table selection.
#include "engine/dsp/Oscillator.h"

#include <algorithm>

#include "engine/dsp/Lanes.h"

namespace engine {

void OscillatorSettings::SetOctave(int index) {
  octaveIndex = std::clamp(index, 0, 2);
  pitchOffset = (octaveIndex - 1) * 12 * kCodesPerSemitone + intervalOffset;
}

void OscillatorSettings::SetIntervalOffset(int code) {
  intervalOffset = code;
  pitchOffset = (octaveIndex - 1) * 12 * kCodesPerSemitone + intervalOffset;
}

void OscillatorState::DrawStartPhase(int randomBits) {
  phase = (static_cast<std::uint32_t>(randomBits & 0x7FFF) * 2048u) & kPhaseMask;
  phase2 = 0;
  increment = 0;
}

}  // namespace engine
