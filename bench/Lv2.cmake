# The LV2 bundle against the VST2 library, per voice, in the same run.
add_executable(tesvar_lv2_bench ${CMAKE_CURRENT_LIST_DIR}/lv2_bench.cpp)
target_link_libraries(tesvar_lv2_bench PRIVATE tesvar_options tesvar_host tesvar_lv2_host)
target_compile_definitions(tesvar_lv2_bench PRIVATE TESVAR_PLUGIN_PATH="$<TARGET_FILE:tesvar_plugin>"
                           TESVAR_LV2_BUNDLE="${TESVAR_LV2_BUNDLE}")
add_dependencies(tesvar_lv2_bench tesvar_plugin tesvar_lv2_bundle)
