list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SaveTestSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageSaverTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapWriterTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngGifWriterTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IconImagesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveFilterTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompressDlgTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveImageAsTest.cpp)
