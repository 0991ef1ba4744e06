list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BoxResamplerTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BusyFlagTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilteredStretchTest.cpp)
