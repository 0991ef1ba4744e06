list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FileListRefreshTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpThreadTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WatcherWindowTest.cpp)
