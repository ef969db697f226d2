# The panel's command handler, programmer and browser belong to the product object and use
# no GUI library, so the product and its tests link without one.
target_sources(tesvar_product PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Browser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PanelBrowser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Programmer.cpp)
