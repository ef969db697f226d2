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

# Playing the instrument from the panel: the built plug-in's editor clicked on its pixels.
if(TARGET tesvar_plugin AND TARGET tesvar-host AND TARGET tesvar_editor_window AND NOT WIN32)
  add_test(NAME tesvar_panel_host_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh bash ${CMAKE_CURRENT_LIST_DIR}/panel_host_test.sh
                   $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin> ${PROJECT_SOURCE_DIR}/resources/img
                   ${PROJECT_SOURCE_DIR}/resources/banks)
  set_tests_properties(tesvar_panel_host_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
