# The shell class: its MIDI queue and learn on their own, the shell on an in-process
# instance, and the built plug-in loaded through its entry point.
tesvar_add_test(tesvar_shell_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MidiQueueTest.cpp ${CMAKE_CURRENT_LIST_DIR}/MidiLearnTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/SynthMidiTest.cpp ${CMAKE_CURRENT_LIST_DIR}/SynthTest.cpp
  LIBS tesvar_product)

tesvar_add_test(tesvar_shell_host_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ShellHostTest.cpp
  LIBS tesvar_host)
target_compile_definitions(tesvar_shell_host_tests PRIVATE TESVAR_PLUGIN_PATH="$<TARGET_FILE:tesvar_plugin>")
add_dependencies(tesvar_shell_host_tests tesvar_plugin)
