# The panel's programmer and browser, on in-process instances without any window.
tesvar_add_test(tesvar_panel_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProgrammerTest.cpp ${CMAKE_CURRENT_LIST_DIR}/BrowserTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/PanelCommandTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PanelBrowserTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/AutoRepeatTest.cpp
  LIBS tesvar_product)

# The panel's controls and layout in a headless editor.
tesvar_add_test(tesvar_panel_editor_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LayoutTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PanelControlsTest.cpp
  LIBS tesvar_panel_editor)
if(WIN32)
  # The bitmaps and factory banks come from the executable's own resources on Windows.
  target_sources(tesvar_panel_editor_test PRIVATE $<TARGET_OBJECTS:tesvar_win_resources>)
endif()

# Playing the instrument from the panel: the built plug-in's editor clicked on its pixels (on
# Windows: tesvar-host.exe and the DLL under Wine).
set(panel_host_args $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin> ${PROJECT_SOURCE_DIR}/resources/img
                    ${PROJECT_SOURCE_DIR}/resources/banks)
if(WIN32)
  add_test(NAME tesvar_panel_host_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh env TESVAR_WINE_DISPLAY=1 TESVAR_WINE_ARCH=${TESVAR_MINGW_ARCH}
                   ${TESVAR_WINE_SCRIPT} ${CMAKE_CURRENT_LIST_DIR}/panel_host_test.sh ${panel_host_args})
  set_tests_properties(tesvar_panel_host_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
else()
  add_test(NAME tesvar_panel_host_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh bash ${CMAKE_CURRENT_LIST_DIR}/panel_host_test.sh
                   ${panel_host_args})
  set_tests_properties(tesvar_panel_host_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
                       ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
endif()
