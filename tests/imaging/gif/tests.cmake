list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/GIFStreamTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LZWDecoderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFEncoderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFLoadingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFWritingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFOtherProgramsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFImageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFRenderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFPainterTest.cpp)
# giflib is the independent reader and writer these tests compare our coding with; only the test
# program links it.
find_package(GIF REQUIRED)
list(APPEND KESTREL_LIBS GIF::GIF)
