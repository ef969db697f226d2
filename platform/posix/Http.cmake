# The update check's GET through Debian's libcurl (libcurl4-openssl-dev), apart from the
# platform library so that only its one user links the network library.
find_package(CURL REQUIRED)
add_library(tesvar_platform_http STATIC ${CMAKE_CURRENT_LIST_DIR}/HttpGet.cpp)
target_link_libraries(tesvar_platform_http PUBLIC tesvar_options PRIVATE CURL::libcurl)
