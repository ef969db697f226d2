# The product's editor and its factory, over the platform's window library (which provides
# CreatePlatformGraphics).
add_library(tesvar_editor STATIC ${CMAKE_CURRENT_LIST_DIR}/TesvarEditor.cpp)
target_link_libraries(tesvar_editor PUBLIC tesvar_options tesvar_menus tesvar_editor_window)
