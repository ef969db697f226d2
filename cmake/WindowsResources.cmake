# The Windows plug-in library's resource script (resources/Tesvar.rc): the generated factory
# banks, the editor's bitmaps and the version block. Included by cmake/Plugin.cmake on WIN32.
set(tesvar_rc ${PROJECT_SOURCE_DIR}/resources/Tesvar.rc)
target_sources(tesvar_plugin PRIVATE ${tesvar_rc})
set_property(SOURCE ${tesvar_rc} APPEND PROPERTY COMPILE_DEFINITIONS
  TESVAR_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  TESVAR_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  TESVAR_VERSION_PATCH=${PROJECT_VERSION_PATCH})
if(TARGET tesvar_factory_banks)
  # windres looks for the files a script names on its include path.
  set_property(SOURCE ${tesvar_rc} APPEND PROPERTY INCLUDE_DIRECTORIES ${TESVAR_FACTORY_BANK_DIR})
  set_property(SOURCE ${tesvar_rc} APPEND PROPERTY OBJECT_DEPENDS ${TESVAR_FACTORY_BANK_FILES})
  add_dependencies(tesvar_plugin tesvar_factory_banks)
endif()
if(TESVAR_IMAGE_DIR)
  set_property(SOURCE ${tesvar_rc} APPEND PROPERTY INCLUDE_DIRECTORIES ${TESVAR_IMAGE_DIR})
  file(GLOB tesvar_rc_images ${TESVAR_IMAGE_DIR}/*.png)
  set_property(SOURCE ${tesvar_rc} APPEND PROPERTY OBJECT_DEPENDS ${tesvar_rc_images})
endif()
