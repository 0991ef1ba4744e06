list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ColorLookupTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DibRowsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DitherTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GIFReductionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OctreeTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaletteReductionTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReduceToPaletteTest.cpp)
