# tesvar-make-lv2-bundle: writes the LV2 bundle's Turtle files from the plug-in's tables.
# lv2/CMakeLists.txt includes this file (the bundle needs the tool even when the tools are
# not built), and tools/CMakeLists.txt takes every file here: the first inclusion counts.
include_guard(GLOBAL)
if(WIN32)
  return()  # the LV2 bundle is a Linux deliverable
endif()
add_executable(tesvar-make-lv2-bundle ${PROJECT_SOURCE_DIR}/tools/make_lv2_bundle.cpp)
target_link_libraries(tesvar-make-lv2-bundle PRIVATE tesvar_options tesvar_lv2_layout tesvar_bank_tables tesvar_core)
set_target_properties(tesvar-make-lv2-bundle PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
