# tesvar-render: plays MIDI through the built plug-in into a WAV file (a Linux tool: it
# writes with libsndfile).
if(CMAKE_CROSSCOMPILING)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)

add_library(tesvar_render STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MidiFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Renderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RenderOptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Lv2Render.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TapeDumpImport.cpp)
target_link_libraries(tesvar_render PUBLIC tesvar_options tesvar_host tesvar_host_programs tesvar_lv2_host tesvar_core
                      tesvar_tape tesvar_bank_tables)

add_executable(tesvar-render ${CMAKE_CURRENT_LIST_DIR}/render_main.cpp)
target_link_libraries(tesvar-render PRIVATE tesvar_render PkgConfig::SNDFILE)
set_target_properties(tesvar-render PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(tesvar-render tesvar_plugin tesvar_lv2_bundle)
