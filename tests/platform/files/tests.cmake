list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AtomicFileWriterTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileMaskTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileTransferTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FoldersTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShortcutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TrashTest.cpp)
