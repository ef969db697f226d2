# The Windows plug-in library's resource script (resources/Tesvar.rc): the generated factory
# banks and the version block. Included by cmake/Plugin.cmake on WIN32.
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
