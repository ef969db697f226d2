# The drawing layer: the whole window with every bitmap, one knob frame, circles and text.
if(TARGET tesvar_gfx AND TARGET tesvar_images)
  add_executable(tesvar_gfx_bench ${CMAKE_CURRENT_LIST_DIR}/gfx_bench.cpp)
  target_link_libraries(tesvar_gfx_bench PRIVATE tesvar_options tesvar_gfx tesvar_images benchmark::benchmark)
  if(TARGET tesvar_snapshot)
    target_sources(tesvar_gfx_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR}/snapshot_bench.cpp)
    target_link_libraries(tesvar_gfx_bench PRIVATE tesvar_snapshot)
  endif()
endif()
