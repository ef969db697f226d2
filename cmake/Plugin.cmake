# The plug-in shared library: Tesvar64 on 64-bit targets, Tesvar on 32-bit ones, always
# with its editor.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TESVAR_PLUGIN_NAME Tesvar64)
else()
  set(TESVAR_PLUGIN_NAME Tesvar)
endif()

# A loadable module exports only what `map` names, and every symbol in it is resolved at link
# time, except in sanitizer builds: clang puts the sanitizer runtime into the host executable.
function(tesvar_module_exports target map)
  target_link_options(${target} PRIVATE -Wl,--version-script=${map})
  if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

add_library(tesvar_plugin SHARED ${PROJECT_SOURCE_DIR}/vst2/Entry.cpp)
target_link_libraries(tesvar_plugin PRIVATE tesvar_options tesvar_product tesvar_editor)
set_target_properties(tesvar_plugin PROPERTIES
  OUTPUT_NAME ${TESVAR_PLUGIN_NAME}
  PREFIX ""
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
if(WIN32)
  target_sources(tesvar_plugin PRIVATE ${PROJECT_SOURCE_DIR}/vst2/Tesvar.def)
  target_link_options(tesvar_plugin PRIVATE -static -static-libgcc -static-libstdc++)
  include(${PROJECT_SOURCE_DIR}/cmake/WindowsResources.cmake)
else()
  tesvar_module_exports(tesvar_plugin ${PROJECT_SOURCE_DIR}/vst2/exports.map)
endif()
set(TESVAR_PLUGIN_FILE $<TARGET_FILE:tesvar_plugin>)
