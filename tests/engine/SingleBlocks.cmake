# Single DSP blocks for the block tests and the engine benchmarks (never in the plug-in).
include_guard(GLOBAL)
add_library(tesvar_single_blocks STATIC ${CMAKE_CURRENT_LIST_DIR}/SingleBlocks.cpp)
target_link_libraries(tesvar_single_blocks PUBLIC tesvar_options tesvar_engine)
