# Voice allocation, event timing and the render loop.
tesvar_add_test(tesvar_voices_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/VoiceLayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VoiceAllocatorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EventTimingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RenderLoopTest.cpp
  LIBS tesvar_engine)

# Its own executable: it replaces the global operator new to count allocations.
if(TARGET tesvar_allocation_counter)
  tesvar_add_test(tesvar_render_allocation_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RenderAllocationTest.cpp
    LIBS tesvar_engine tesvar_allocation_counter)
endif()
