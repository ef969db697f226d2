# The editor windows under a virtual display (tools/with-xvfb.sh starts one; a test is skipped,
# saying so, only when Xvfb cannot start): the Linux window directly, the Windows one under
# Wine on that display.
if(NOT WIN32)
  find_package(X11 REQUIRED)
  find_package(Threads REQUIRED)
  add_executable(tesvar_editor_window_test X11WindowTest.cpp ${PROJECT_SOURCE_DIR}/tools/HostWindowX11.cpp)
  target_link_libraries(tesvar_editor_window_test PRIVATE tesvar_options tesvar_editor_window X11::X11 X11::Xtst Threads::Threads
                        GTest::gtest GTest::gtest_main)
  add_test(NAME tesvar_editor_window_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh $<TARGET_FILE:tesvar_editor_window_test>)
  set_tests_properties(tesvar_editor_window_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
                       ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/lsan.supp")
else()
  add_executable(tesvar_editor_window_test Win32WindowTest.cpp Win32WindowFaultTest.cpp
                 ${PROJECT_SOURCE_DIR}/tools/HostWindowWin32.cpp)
  target_link_libraries(tesvar_editor_window_test PRIVATE tesvar_options tesvar_editor_window user32 gdi32 psapi
                        GTest::gtest GTest::gtest_main)
  # Wine keeps the display only when asked (tools/wine-test.sh).
  add_test(NAME tesvar_editor_window_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh env TESVAR_WINE_DISPLAY=1
                   ${PROJECT_SOURCE_DIR}/tools/wine-test.sh ${TESVAR_MINGW_ARCH} $<TARGET_FILE:tesvar_editor_window_test>)
  set_tests_properties(tesvar_editor_window_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()

# The built plug-in's editor in the test host's editor mode (on Windows: tesvar-host.exe and
# the DLL under Wine).
if(NOT WIN32)
  add_test(NAME tesvar_editor_host_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh bash ${CMAKE_CURRENT_SOURCE_DIR}/editor_host_test.sh
                   $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin>)
  set_tests_properties(tesvar_editor_host_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
                       ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/lsan.supp")
else()
  add_test(NAME tesvar_editor_host_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh env TESVAR_WINE_DISPLAY=1 TESVAR_WINE_ARCH=${TESVAR_MINGW_ARCH}
                   ${TESVAR_WINE_SCRIPT} ${CMAKE_CURRENT_LIST_DIR}/editor_host_test.sh $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin>)
  set_tests_properties(tesvar_editor_host_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()

# The editor at a screen scale in the test host: 192 dpi, the Zoom submenu, a refusing host.
if(NOT WIN32)
  add_test(NAME tesvar_editor_scale_test
           COMMAND env TESVAR_XVFB_SCREEN=2560x1440x24 sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh bash ${CMAKE_CURRENT_SOURCE_DIR}/scale_host_test.sh
                   $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin>)
  set_tests_properties(tesvar_editor_scale_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
                       ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/lsan.supp")
else()
  add_test(NAME tesvar_editor_scale_test
           COMMAND env TESVAR_XVFB_SCREEN=2560x1440x24 sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh env TESVAR_WINE_DISPLAY=1 TESVAR_WINE_ARCH=${TESVAR_MINGW_ARCH}
                   ${TESVAR_WINE_SCRIPT} ${CMAKE_CURRENT_SOURCE_DIR}/scale_host_test.sh $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin>)
  set_tests_properties(tesvar_editor_scale_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()
