# The panel's programmer and browser, on in-process instances without any window.
tesvar_add_test(tesvar_panel_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProgrammerTest.cpp ${CMAKE_CURRENT_LIST_DIR}/BrowserTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PanelCommandTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PanelBrowserTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/AutoRepeatTest.cpp
  LIBS tesvar_product)

# The panel's controls and layout in a headless editor.
if(TARGET tesvar_panel_editor)
  tesvar_add_test(tesvar_panel_editor_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/LayoutTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PanelControlsTest.cpp
    LIBS tesvar_panel_editor)
endif()
