# The plug-in shared library: Tesvar64 on 64-bit targets, Tesvar on 32-bit ones, always
# with its editor.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TESVAR_PLUGIN_NAME Tesvar64)
else()
  set(TESVAR_PLUGIN_NAME Tesvar)
endif()

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
  # Only the two entry points are exported, and every symbol is resolved at link time, except
  # in sanitizer builds: clang puts the sanitizer runtime into the host executable.
  target_link_options(tesvar_plugin PRIVATE -Wl,--version-script=${PROJECT_SOURCE_DIR}/vst2/exports.map)
  if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
    target_link_options(tesvar_plugin PRIVATE -Wl,--no-undefined)
  endif()
endif()
set(TESVAR_PLUGIN_FILE $<TARGET_FILE:tesvar_plugin>)
