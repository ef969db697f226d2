# The Linux editor window under a virtual display (tools/with-xvfb.sh starts one; the test is
# skipped, saying so, only when Xvfb cannot start).
if(TARGET tesvar_editor_window)
  find_package(X11 REQUIRED)
  find_package(Threads REQUIRED)
  add_executable(tesvar_editor_window_test X11WindowTest.cpp ${PROJECT_SOURCE_DIR}/tools/HostWindowX11.cpp)
  target_link_libraries(tesvar_editor_window_test PRIVATE tesvar_options tesvar_editor_window X11::X11 X11::Xtst Threads::Threads
                        GTest::gtest GTest::gtest_main)
  add_test(NAME tesvar_editor_window_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh $<TARGET_FILE:tesvar_editor_window_test>)
  set_tests_properties(tesvar_editor_window_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()

# The built plug-in's editor in the test host's editor mode.
if(TARGET tesvar_plugin AND TARGET tesvar-host AND NOT WIN32)
  add_test(NAME tesvar_editor_host_test
           COMMAND sh ${PROJECT_SOURCE_DIR}/tools/with-xvfb.sh bash ${CMAKE_CURRENT_SOURCE_DIR}/editor_host_test.sh
                   $<TARGET_FILE:tesvar-host> $<TARGET_FILE:tesvar_plugin>)
  set_tests_properties(tesvar_editor_host_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
