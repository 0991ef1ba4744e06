list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TiffCompression.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompressionChoices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TiffFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TiffPageLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TiffPixelReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TiffPageWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TiffGraphic.cpp)
