list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FloodFillTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolGeometryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolDrawingTest.cpp)
