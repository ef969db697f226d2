# tesvar-snapshot: a picture of the editor without a window. It links the product and the
# drawing layer directly (the plug-in's binary interface has no hook for it).
if(CMAKE_CROSSCOMPILING OR NOT TARGET tesvar_product OR NOT TARGET tesvar_gfx)
  return()
endif()

add_library(tesvar_snapshot STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Snapshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SnapshotLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SnapshotOptions.cpp)
target_link_libraries(tesvar_snapshot PUBLIC tesvar_options tesvar_product tesvar_gfx)

add_executable(tesvar-snapshot ${CMAKE_CURRENT_LIST_DIR}/snapshot_main.cpp)
target_link_libraries(tesvar-snapshot PRIVATE tesvar_snapshot)
