# The import's glue to the plug-in core.
add_library(tesvar_tape_import STATIC ${CMAKE_CURRENT_LIST_DIR}/TapeImport.cpp)
target_link_libraries(tesvar_tape_import PUBLIC tesvar_options tesvar_tape tesvar_core)
