list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ImageTransform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NegativeTransform.cpp)
