list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/StreamTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageLimitsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExceptionsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaletteTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DibGraphicTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DibFramesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CanvasTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureTest.cpp)
