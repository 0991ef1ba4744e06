list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/GIFStreamTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LZWDecoderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFEncoderTest.cpp)
# giflib is the independent reader and writer these tests compare our coding with; only the test
# program links it. Targets made after this point in the folder (the subsystem's test program) take
# it up.
find_package(GIF REQUIRED)
link_libraries(GIF::GIF)
