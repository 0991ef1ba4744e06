list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/RegistryDocumentTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsStoreTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnusableStoreTest.cpp)
