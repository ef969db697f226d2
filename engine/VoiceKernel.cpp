// The scalar and SSE2 voice paths and the choice among the paths.
#include "engine/VoiceKernel.h"

#include "engine/VoicePacks.h"
#include "engine/dsp/Lanes.h"
#if defined(__SSE2__)
#include "engine/dsp/LanesSse2.h"
#endif

namespace engine {

#if defined(TESVAR_HAVE_WIDE_KERNELS)
VoiceKernel Avx2Kernel();
VoiceKernel Avx512Kernel();
#endif

namespace {

bool HasAvx2() {
#if defined(TESVAR_HAVE_WIDE_KERNELS)
  // The compiler's check includes the operating system's support for the wide registers.
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

bool HasAvx512() {
#if defined(TESVAR_HAVE_WIDE_KERNELS)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f");
#else
  return false;
#endif
}

}  // namespace

VoicePath BestVoicePath() {
  static const VoicePath best = HasAvx512() ? VoicePath::kAvx512
                                : HasAvx2() ? VoicePath::kAvx2
#if defined(__SSE2__)
                                            : VoicePath::kSse2;
#else
                                            : VoicePath::kScalar;
#endif
  return best;
}

VoicePath AvailableVoicePath(VoicePath wanted) {
  const VoicePath best = BestVoicePath();
  return static_cast<int>(wanted) <= static_cast<int>(best)
             ? (static_cast<int>(wanted) < 0 ? VoicePath::kScalar : wanted)
             : best;
}

const char* VoicePathName(VoicePath path) {
  switch (path) {
    case VoicePath::kAvx512: return "avx512";
    case VoicePath::kAvx2: return "avx2";
    case VoicePath::kSse2: return "sse2";
    default: return "scalar";
  }
}

VoiceKernel KernelFor(VoicePath path) {
  switch (AvailableVoicePath(path)) {
#if defined(TESVAR_HAVE_WIDE_KERNELS)
    case VoicePath::kAvx2: return Avx2Kernel();
    case VoicePath::kAvx512: return Avx512Kernel();
#endif
#if defined(__SSE2__)
    case VoicePath::kSse2: return PackKernel<Sse2Lanes, 6>();
#endif
    default: return PackKernel<ScalarLanes, 4>();
  }
}

}  // namespace engine
