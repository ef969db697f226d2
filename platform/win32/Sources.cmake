# The Windows implementation of platform/Platform.h (Win32 API, mingw-w64 or MSVC).
add_library(tesvar_platform STATIC
  win32/CriticalSection.cpp
  win32/Profile.cpp
  win32/Files.cpp
  win32/Module.cpp
  win32/Library.cpp
  win32/WideText.cpp)
target_link_libraries(tesvar_platform PUBLIC tesvar_options PRIVATE shell32)
# Windows headers without their min/max macros and rarely used parts.
target_compile_definitions(tesvar_platform PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
