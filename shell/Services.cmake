# The shell's services: the configuration file and the microtuning client. They reach the
# system only through the platform layer.
add_library(tesvar_shell_services STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Configuration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TuningClient.cpp)
target_link_libraries(tesvar_shell_services PUBLIC tesvar_options tesvar_platform tesvar_engine)
