list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/FindPattern.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindWalk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindOrder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SizeCriteria.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NameIcons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindResults.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindLocations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindDialogX.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindHitCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindDialog.cpp)
