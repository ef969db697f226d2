# The product class: the instrument behind the shell.
add_library(tesvar_product STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ParameterTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Tesvar.cpp)
target_link_libraries(tesvar_product PUBLIC tesvar_options tesvar_shell tesvar_engine tesvar_tape_import)
