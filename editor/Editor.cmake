# The product's editor and its factory. The platform's window library provides
# CreatePlatformGraphics; where there is none yet the editor is absent (null factory result).
add_library(tesvar_editor STATIC ${CMAKE_CURRENT_LIST_DIR}/TesvarEditor.cpp)
target_link_libraries(tesvar_editor PUBLIC tesvar_options tesvar_panel_editor)
if(TARGET tesvar_editor_window)
  target_link_libraries(tesvar_editor PUBLIC tesvar_editor_window)
else()
  target_sources(tesvar_editor PRIVATE ${CMAKE_CURRENT_LIST_DIR}/framework/NoWindow.cpp)
endif()
