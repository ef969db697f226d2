// The AVX2 voice path. This file alone is compiled for AVX2 and is only called after the
// processor has been found to have it; it uses nothing but the lane types and plain data,
// so no shared inline code is compiled here for AVX2.
#include "engine/VoiceKernel.h"
#include "engine/dsp/LanesAvx2.h"

namespace engine {

void MixSoundingAvx2(const VoiceMixJob& job) { MixSounding<Avx2Lanes, 4>(job); }
void SettleSoundingAvx2(const VoiceMixJob& job) { SettleSounding<Avx2Lanes, 4>(job); }

}  // namespace engine
