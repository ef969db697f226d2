# The online update check and its GET (libcurl or WinINet): only the editor's menus link it.
add_library(tesvar_update_check STATIC ${CMAKE_CURRENT_LIST_DIR}/UpdateCheck.cpp)
target_link_libraries(tesvar_update_check PUBLIC tesvar_options tesvar_platform tesvar_platform_http)
