list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DpictureTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpgOptionsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainSaveTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainViewTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewCopyTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewGeometryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewReductionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewTextsTest.cpp)
