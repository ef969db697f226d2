# Voice allocation, event timing and the render loop.
tesvar_add_test(tesvar_voices_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VoiceLayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VoiceAllocatorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EventTimingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RenderLoopTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VoicePathTest.cpp
  LIBS tesvar_engine)

# Its own executable: it replaces the global operator new to count allocations.
tesvar_add_test(tesvar_render_allocation_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/RenderAllocationTest.cpp
  LIBS tesvar_engine tesvar_allocation_counter)

# The voice paths compared through the built plug-in, with every factory program.
if(NOT CMAKE_CROSSCOMPILING)
  tesvar_add_test(tesvar_voice_path_host_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/VoicePathHostTest.cpp
    LIBS tesvar_render)
  target_compile_definitions(tesvar_voice_path_host_test PRIVATE
    TESVAR_PLUGIN_PATH="$<TARGET_FILE:tesvar_plugin>"
    TESVAR_BANK_DIR="${TESVAR_FACTORY_BANK_DIR}")
  add_dependencies(tesvar_voice_path_host_test tesvar_plugin tesvar_factory_banks)
endif()
