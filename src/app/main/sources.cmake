list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ColorCycle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageMask.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KestrelMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainCapture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainDesktop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFind.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainInput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainSave.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainStartup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainTransforms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Program.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecentFolders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolbarImages.cpp)
