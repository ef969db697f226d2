# Shared part of the mingw-w64 toolchain files; TESVAR_MINGW_ARCH is x86_64 or i686.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TESVAR_MINGW_ARCH})

set(TESVAR_MINGW_TRIPLE ${TESVAR_MINGW_ARCH}-w64-mingw32)
# The posix variants: std::thread and std::mutex need the winpthreads model.
set(CMAKE_C_COMPILER ${TESVAR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESVAR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESVAR_MINGW_TRIPLE}-windres)

get_filename_component(TESVAR_TOOLCHAIN_REPO ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)

# Third-party libraries (libpng, GoogleTest) cross-built by tools/build-win-deps.sh; zlib is
# Debian's libz-mingw-w64-dev under /usr/<triple>. Built on first configure when missing.
if(DEFINED ENV{TESVAR_WINDEPS})
  set(TESVAR_WINDEPS_PREFIX $ENV{TESVAR_WINDEPS}/${TESVAR_MINGW_ARCH})
else()
  set(TESVAR_WINDEPS_PREFIX ${TESVAR_TOOLCHAIN_REPO}/build/windeps/${TESVAR_MINGW_ARCH})
endif()
if(NOT DEFINED ENV{TESVAR_WINDEPS_BUILDING}
   AND NOT (EXISTS ${TESVAR_WINDEPS_PREFIX}/.libpng.stamp
            AND EXISTS ${TESVAR_WINDEPS_PREFIX}/.googletest.stamp))
  message(STATUS "Building the Windows libraries for ${TESVAR_MINGW_ARCH} (tools/build-win-deps.sh)")
  execute_process(COMMAND ${TESVAR_TOOLCHAIN_REPO}/tools/build-win-deps.sh ${TESVAR_MINGW_ARCH}
                  RESULT_VARIABLE deps_result)
  if(NOT deps_result EQUAL 0)
    message(FATAL_ERROR "tools/build-win-deps.sh ${TESVAR_MINGW_ARCH} failed")
  endif()
endif()

set(CMAKE_FIND_ROOT_PATH ${TESVAR_WINDEPS_PREFIX} /usr/${TESVAR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's mingw zlib ships both libz.a and an import library; the plug-in takes the former.
set(ZLIB_USE_STATIC_LIBS ON)

# Executables and the plug-in carry the C++ run time, libgcc and winpthreads inside, so
# Windows (and Wine) need nothing but system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and gtest_discover_tests run the cross-built executables under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TESVAR_TOOLCHAIN_REPO}/tools/wine-test.sh;${TESVAR_MINGW_ARCH})
