list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FindPatternTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SizeCriteriaTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindWalkTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindDialogXTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindDialogTest.cpp)
