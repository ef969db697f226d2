# tesvar-render-doubles: renders through the double-precision entry into raw doubles and
# compares two renders; built for Linux and both Windows targets (tools/compare-sound.sh).
add_executable(tesvar-render-doubles
  ${CMAKE_CURRENT_LIST_DIR}/render_doubles_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Renderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MidiFile.cpp)
target_link_libraries(tesvar-render-doubles PRIVATE tesvar_options tesvar_host)
set_target_properties(tesvar-render-doubles PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(tesvar-render-doubles tesvar_plugin)
