# The drawing layer: the whole window with every bitmap, one knob frame, circles and text.
add_executable(tesvar_gfx_bench ${CMAKE_CURRENT_LIST_DIR}/gfx_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/snapshot_bench.cpp)
target_link_libraries(tesvar_gfx_bench PRIVATE tesvar_options tesvar_gfx tesvar_images tesvar_snapshot benchmark::benchmark)
