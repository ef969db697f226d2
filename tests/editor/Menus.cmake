# The menus, the utility commands and the tape load dialog in a headless editor (dialogs
# answered from a script).
tesvar_add_test(tesvar_menus_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MenusTest.cpp ${CMAKE_CURRENT_LIST_DIR}/UtilityCommandsTest.cpp
          ${PROJECT_SOURCE_DIR}/tests/tape/TapeLoadDialogTest.cpp
  LIBS tesvar_menus tesvar_tape)
if(WIN32)
  # The bitmaps and factory banks come from the executable's own resources on Windows.
  target_sources(tesvar_menus_test PRIVATE $<TARGET_OBJECTS:tesvar_win_resources>)
endif()

# The menus of the built plug-in's editor used with mouse and keys under a virtual display.
if(WIN32)
  # Under Wine: the utility menu opens and "Init Program" with Yes initialises the program.
  add_test(NAME tesvar_menus_host_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh env TESVAR_WINE_DISPLAY=1 TESVAR_WINE_ARCH=${TESVAR_MINGW_ARCH}
                   ${TESVAR_WINE_SCRIPT} ${CMAKE_CURRENT_LIST_DIR}/menus_host_test.sh $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin>)
  set_tests_properties(tesvar_menus_host_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
else()
  add_test(NAME tesvar_menus_host_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh bash ${CMAKE_CURRENT_LIST_DIR}/menus_host_test.sh
                   $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin> $<TARGET_FILE:tape-dump-gen>)
  set_tests_properties(tesvar_menus_host_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
