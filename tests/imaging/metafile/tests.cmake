list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MetafileBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileTestSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileDrawTest.cpp)
