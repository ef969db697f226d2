# Cross-build for 32-bit Windows (Tesvar.dll) with Debian's mingw-w64, posix thread model.
# Tests run under 32-bit wine (tools/wine-test.sh).
set(TESVAR_MINGW_ARCH i686)

# Double arithmetic in SSE2 rather than the x87 unit, so that the 32-bit build rounds
# every operation to double exactly as the 64-bit and Linux builds do (x87 keeps 80-bit
# intermediates). The stack realignment keeps SSE spills safe when a 32-bit host calls in
# with a stack aligned to only 4 bytes.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
