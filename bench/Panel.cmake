# The panel in a headless editor: what one knob drag step costs.
add_executable(tesvar_panel_bench ${CMAKE_CURRENT_LIST_DIR}/panel_bench.cpp)
target_link_libraries(tesvar_panel_bench PRIVATE tesvar_options tesvar_panel_editor benchmark::benchmark)
