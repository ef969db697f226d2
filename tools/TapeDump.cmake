# tape-dump-gen: the tape-dump signal generator.
add_executable(tape-dump-gen ${CMAKE_CURRENT_LIST_DIR}/tape_dump_gen.cpp)
target_link_libraries(tape-dump-gen PRIVATE tesvar_options tesvar_tape)
