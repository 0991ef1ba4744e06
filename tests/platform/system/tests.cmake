list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/VolumesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MemoryStatusTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstanceLockTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ServicesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundPlayerTest.cpp)
