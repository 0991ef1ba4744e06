list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ToolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolResizeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolRotateTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolPaintbrushTargaTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolTiffTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndependentReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolJpegPngTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GifToolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FramesToolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolSaveTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintToolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolFindTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IndexToolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ThumbsToolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolIconMetafileTest.cpp)
# giflib reads back the GIF files the tool writes.
find_package(GIF REQUIRED)
list(APPEND KESTREL_LIBS GIF::GIF)
