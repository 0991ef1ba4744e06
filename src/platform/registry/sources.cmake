list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/RegistryDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistryFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistryParser.cpp)
