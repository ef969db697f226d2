# Warnings and floating-point settings shared by every target of the project.
add_library(tesvar_options INTERFACE)
target_compile_options(tesvar_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-unused-parameter>
  $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra>)
# All signal processing is double precision; the 32-bit build uses SSE2 so that every
# target computes the same numbers.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "86")
  target_compile_options(tesvar_options INTERFACE -msse2 -mfpmath=sse)
endif()
target_compile_options(tesvar_options INTERFACE -ffp-contract=off)
target_include_directories(tesvar_options INTERFACE ${PROJECT_SOURCE_DIR})
# The ladder filter tests five flags with a deliberate branch-free '&', which clang's -Wall
# reports.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  target_compile_options(tesvar_options INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Wno-bitwise-instead-of-logical>)
endif()
# GCC 12 reports overlaps and overflows inside inlined standard-library string and vector
# code that cannot happen (its own known false positives at -O2); they would bury real ones.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(tesvar_options INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict -Wno-stringop-overflow>)
endif()
