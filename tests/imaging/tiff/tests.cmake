list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TiffTestSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TiffRoundTripTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TiffForeignFilesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TiffDamageTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompressionChoicesTest.cpp)
