# The panel's controls and the layout that places them in the editor (needs the framework).
add_library(tesvar_panel_editor STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PanelLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls/IQMBrowserControls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls/IQMButtons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls/IQMDisplays.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls/IQMKnobs.cpp)
target_link_libraries(tesvar_panel_editor PUBLIC tesvar_options tesvar_layout tesvar_editor_framework tesvar_product)
