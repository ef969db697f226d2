# The online update check: its reading of answers with a stand-in GET, and the real GET
# (libcurl; WinINet under Wine) against a server the test starts on 127.0.0.1.
tesvar_add_test(tesvar_update_check_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/UpdateCheckTest.cpp ${CMAKE_CURRENT_LIST_DIR}/UpdateLoopbackTest.cpp
  LIBS tesvar_update_check)
if(WIN32)
  target_link_libraries(tesvar_update_check_tests PRIVATE ws2_32)
endif()
