# The whole plug-in through its entry point.
add_executable(tesvar_plugin_bench ${CMAKE_CURRENT_LIST_DIR}/plugin_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/PluginCases.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/PluginSweep.cpp)
target_link_libraries(tesvar_plugin_bench PRIVATE tesvar_options tesvar_host tesvar_allocation_counter benchmark::benchmark)
target_compile_definitions(tesvar_plugin_bench PRIVATE TESVAR_PLUGIN_PATH="$<TARGET_FILE:tesvar_plugin>")
add_dependencies(tesvar_plugin_bench tesvar_plugin)
