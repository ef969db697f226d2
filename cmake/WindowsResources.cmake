# The Windows plug-in library's resource script (resources/Tesvar.rc): the generated factory
# banks, the editor's bitmaps and the version block. Included by cmake/Plugin.cmake on WIN32.
# Compiled once into an object library: the plug-in links it, and so do the test programs
# that build the product in-process (FindResourceA then searches the executable itself).
set(tesvar_rc ${PROJECT_SOURCE_DIR}/resources/Tesvar.rc)
add_library(tesvar_win_resources OBJECT ${tesvar_rc})
target_sources(tesvar_plugin PRIVATE $<TARGET_OBJECTS:tesvar_win_resources>)
set_property(SOURCE ${tesvar_rc} APPEND PROPERTY COMPILE_DEFINITIONS
  TESVAR_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  TESVAR_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  TESVAR_VERSION_PATCH=${PROJECT_VERSION_PATCH})
# windres looks for the files a script names on its include path.
set_property(SOURCE ${tesvar_rc} APPEND PROPERTY INCLUDE_DIRECTORIES ${TESVAR_FACTORY_BANK_DIR} ${TESVAR_IMAGE_DIR})
set_property(SOURCE ${tesvar_rc} APPEND PROPERTY OBJECT_DEPENDS ${TESVAR_FACTORY_BANK_FILES})
add_dependencies(tesvar_win_resources tesvar_factory_banks)
file(GLOB tesvar_rc_images ${TESVAR_IMAGE_DIR}/*.png)
set_property(SOURCE ${tesvar_rc} APPEND PROPERTY OBJECT_DEPENDS ${tesvar_rc_images})
