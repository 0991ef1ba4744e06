list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ThumbTileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThumbFolderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThumbGridTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThumbCacheTest.cpp)
