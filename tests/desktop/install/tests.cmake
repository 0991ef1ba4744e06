list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MimeAppsListTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstallWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealDesktopToolsTest.cpp)
