# The shell's services: configuration file and microtuning client. They run against the
# POSIX platform layer in a temporary home, and against a test double of the tuning
# library whose path the tests hand to the binding.
if(NOT WIN32)
  add_library(tesvar_mts_double SHARED ${CMAKE_CURRENT_LIST_DIR}/mts_double.c)
  target_link_libraries(tesvar_mts_double PRIVATE tesvar_options)

  tesvar_add_test(tesvar_shell_services_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ConfigurationTest.cpp ${CMAKE_CURRENT_LIST_DIR}/TuningClientTest.cpp
    LIBS tesvar_shell_services)
  add_dependencies(tesvar_shell_services_tests tesvar_mts_double)
  target_compile_definitions(tesvar_shell_services_tests PRIVATE
    TESVAR_MTS_DOUBLE_PATH="$<TARGET_FILE:tesvar_mts_double>")
endif()
