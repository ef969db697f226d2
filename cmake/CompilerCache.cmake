# Compiler caching with ccache when it is installed (TESVAR_CCACHE=OFF turns it off). Paths
# are hashed relative to the source folder, so clones and work trees in other folders share
# the cache; a first build pays only the cache's small bookkeeping.
option(TESVAR_CCACHE "Cache compiler output with ccache when it is installed" ON)
if(TESVAR_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  find_program(TESVAR_CCACHE_PROGRAM ccache)
  if(TESVAR_CCACHE_PROGRAM)
    set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
        ${TESVAR_CCACHE_PROGRAM})
    set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
  endif()
endif()
