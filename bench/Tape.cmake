# Import time of a five-minute tape-dump recording.
add_executable(tesvar_tape_bench ${CMAKE_CURRENT_LIST_DIR}/tape_bench.cpp)
target_link_libraries(tesvar_tape_bench PRIVATE tesvar_options tesvar_tape benchmark::benchmark benchmark::benchmark_main)
