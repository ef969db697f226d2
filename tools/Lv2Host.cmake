# The LV2 test host over lilv: the renderer's --lv2, the LV2 tests and the benchmark.
if(CMAKE_CROSSCOMPILING OR NOT TARGET tesvar_lv2_layout)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(LILV lilv-0)
if(NOT LILV_FOUND)
  message(FATAL_ERROR "The LV2 host tools need lilv: apt-get install liblilv-dev (tools/install-deps.sh installs it)")
endif()
add_library(tesvar_lv2_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Lv2Host.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Lv2HostRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Lv2HostState.cpp)
target_include_directories(tesvar_lv2_host PUBLIC ${LILV_INCLUDE_DIRS} ${LV2_INCLUDE_DIRS})
target_link_libraries(tesvar_lv2_host PUBLIC tesvar_options tesvar_lv2_layout ${LILV_LINK_LIBRARIES})
