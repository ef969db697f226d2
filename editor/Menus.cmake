# The panel's menus: the utility and program menus, the utility commands, the tape load
# dialog they show, and the online update check they run.
add_library(tesvar_menus STATIC
  ${CMAKE_CURRENT_LIST_DIR}/EditorMenus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Menus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UtilityCommands.cpp
  ${PROJECT_SOURCE_DIR}/tape/TapeLoadDialog.cpp)
target_link_libraries(tesvar_menus PUBLIC tesvar_options tesvar_panel_editor tesvar_update_check)
