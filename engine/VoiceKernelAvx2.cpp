// The AVX2 voice path. This file alone is compiled for AVX2 and is only called after the
// processor has been found to have it; it uses nothing but the lane types and plain data,
// so no shared inline code is compiled here for AVX2.
#include "engine/VoicePacks.h"
#include "engine/dsp/LanesAvx2.h"

namespace engine {

VoiceKernel Avx2Kernel() { return PackKernel<Avx2Lanes, 4>(); }

}  // namespace engine
