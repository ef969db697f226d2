# Micro benchmarks of the engine's DSP blocks, in nanoseconds per sample.
include(${PROJECT_SOURCE_DIR}/tests/engine/SingleBlocks.cmake)
add_executable(tesvar_engine_bench ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
target_link_libraries(tesvar_engine_bench PRIVATE tesvar_options tesvar_single_blocks benchmark::benchmark)
