# The test host: a small VST 2.4 host used by the integration tests, the renderer, the
# benchmarks and the standalone program, and tesvar-host, which prints a plug-in's identity.
add_library(tesvar_host STATIC ${CMAKE_CURRENT_LIST_DIR}/PluginHost.cpp)
target_link_libraries(tesvar_host PUBLIC tesvar_options tesvar_platform)
# FXP/FXB files and program numbers from the host's side (the renderer, the standalone program).
add_library(tesvar_host_programs STATIC ${CMAKE_CURRENT_LIST_DIR}/HostPrograms.cpp)
target_link_libraries(tesvar_host_programs PUBLIC tesvar_host tesvar_core)

# Counts allocations for the tests and benchmarks that prove the audio path makes none.
add_library(tesvar_allocation_counter STATIC ${CMAKE_CURRENT_LIST_DIR}/AllocationCounter.cpp)
target_link_libraries(tesvar_allocation_counter PUBLIC tesvar_options)

add_executable(tesvar-host ${CMAKE_CURRENT_LIST_DIR}/host_main.cpp)
target_link_libraries(tesvar-host PRIVATE tesvar_host)
# The editor mode needs a window of the host's own.
find_package(Threads REQUIRED)
target_sources(tesvar-host PRIVATE ${CMAKE_CURRENT_LIST_DIR}/host_editor.cpp)
target_link_libraries(tesvar-host PRIVATE Threads::Threads tesvar_layout)
if(NOT WIN32)
  find_package(X11 REQUIRED)
  target_sources(tesvar-host PRIVATE ${CMAKE_CURRENT_LIST_DIR}/HostWindowX11.cpp ${CMAKE_CURRENT_LIST_DIR}/HostSystemPosix.cpp)
  target_link_libraries(tesvar-host PRIVATE X11::X11)
else()
  target_sources(tesvar-host PRIVATE ${CMAKE_CURRENT_LIST_DIR}/HostWindowWin32.cpp)
  target_link_libraries(tesvar-host PRIVATE user32 gdi32 psapi)
endif()
set_target_properties(tesvar-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
