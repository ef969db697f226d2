# Cross-build for 64-bit Windows (Tesvar64.dll) with Debian's mingw-w64, posix thread model.
# Tests run under wine64 (tools/wine-test.sh).
set(TESVAR_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
