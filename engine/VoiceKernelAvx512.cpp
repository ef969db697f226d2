// The AVX-512 voice path. This file alone is compiled for AVX-512 and is only called after
// the processor has been found to have it; like the AVX2 file it uses nothing but its own
// lane types and plain data, so no code shared with the other paths is compiled here.
#include "engine/VoicePacks.h"
#include "engine/dsp/LanesAvx512.h"

namespace engine {

VoiceKernel Avx512Kernel() { return PackKernel<Avx512Lanes, 4>(); }

}  // namespace engine
