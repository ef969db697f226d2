# The update check's GET through WinINet (a Windows system DLL).
add_library(tesvar_platform_http STATIC ${CMAKE_CURRENT_LIST_DIR}/HttpGet.cpp)
target_link_libraries(tesvar_platform_http PUBLIC tesvar_options PRIVATE wininet)
