# Whole-engine render benchmark: held notes through the voices and each effect.
add_executable(tesvar_render_bench ${CMAKE_CURRENT_LIST_DIR}/render_bench.cpp)
target_link_libraries(tesvar_render_bench PRIVATE tesvar_options tesvar_engine benchmark::benchmark)
