# The panel's programmer and browser, on in-process instances without any window.
tesvar_add_test(tesvar_panel_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProgrammerTest.cpp ${CMAKE_CURRENT_LIST_DIR}/BrowserTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PanelCommandTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PanelBrowserTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/AutoRepeatTest.cpp
  LIBS tesvar_product)
