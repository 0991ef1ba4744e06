list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ChangeNotificationTest.cpp)
