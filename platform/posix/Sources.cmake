add_library(tesvar_platform STATIC
  EmbeddedResources.cpp
  posix/CriticalSection.cpp
  posix/Profile.cpp
  posix/Files.cpp
  posix/Module.cpp)
target_link_libraries(tesvar_platform PUBLIC tesvar_options PRIVATE ${CMAKE_DL_LIBS})
