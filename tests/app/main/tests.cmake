list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ColorCycleTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecentFoldersTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartupPiecesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandTableTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFindTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramTest.cpp)
