# Voices, voice allocation, the voice event queue and the render loop.
target_sources(tesvar_engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/VoiceLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VoiceAllocator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VoiceEventQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VoicePool.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RenderLoop.cpp
)
