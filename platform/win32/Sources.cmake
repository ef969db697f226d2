# The Windows implementation of platform/Platform.h (Win32 API, mingw-w64 or MSVC).
add_library(tesvar_platform STATIC
  EmbeddedResources.cpp
  win32/CriticalSection.cpp
  win32/Profile.cpp
  win32/Files.cpp
  win32/Module.cpp
  win32/Library.cpp
  win32/WideText.cpp
  win32/WindowsHeaders.h)
target_link_libraries(tesvar_platform PUBLIC tesvar_options PRIVATE shell32)
# Windows 7 and later: SHGetKnownFolderPath and the other calls used here exist there.
target_compile_definitions(tesvar_platform PRIVATE _WIN32_WINNT=0x0601)
