list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ToolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolPaintbrushTargaTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolTiffTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndependentReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolJpegPngTest.cpp)
