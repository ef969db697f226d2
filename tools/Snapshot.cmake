# tesvar-snapshot: a picture of the editor without a window. It links the product and its
# editor directly (the plug-in's binary interface has no hook for a headless window).
if(CMAKE_CROSSCOMPILING)
  return()
endif()

add_library(tesvar_snapshot STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Snapshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SnapshotOptions.cpp)
target_link_libraries(tesvar_snapshot PUBLIC tesvar_options tesvar_panel_editor)

add_executable(tesvar-snapshot ${CMAKE_CURRENT_LIST_DIR}/snapshot_main.cpp)
target_link_libraries(tesvar-snapshot PRIVATE tesvar_snapshot)
