list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MetafileBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileTestSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileDrawTest.cpp)
list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MetafileConvertTest.cpp)
list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MetafileDamageTest.cpp)
