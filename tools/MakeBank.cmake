# tesvar-make-bank: the host tool that turns the factory-bank tables into FXB images and
# C++ sources of their bytes. resources/CMakeLists.txt includes this file too (it needs
# the tool even when the tools are not built), so the second inclusion does nothing.
# A cross build compiles its own copy for the build machine instead (resources/).
include_guard(GLOBAL)
if(CMAKE_CROSSCOMPILING)
  return()
endif()

add_executable(tesvar-make-bank ${PROJECT_SOURCE_DIR}/tools/make_bank.cpp)
target_link_libraries(tesvar-make-bank PRIVATE tesvar_options tesvar_bank_tables)
set_target_properties(tesvar-make-bank PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
