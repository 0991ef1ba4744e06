list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ColorLookupTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DitherTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OctreeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaletteReductionTest.cpp)
