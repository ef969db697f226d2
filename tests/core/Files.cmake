# Program and bank files and the factory banks, on in-process instances of the product
# (their state bodies and the embedded banks are the product's) in a temporary home.
tesvar_add_test(tesvar_files_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProgramFilesTest.cpp ${CMAKE_CURRENT_LIST_DIR}/FactoryRestoreTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ProgramListTest.cpp
  LIBS tesvar_product)
