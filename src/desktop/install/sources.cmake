# The MIME list and the MIME package are compiled in, so the program writes the same ones a
# package installs.
include(${PROJECT_SOURCE_DIR}/cmake/KestrelMimeTypes.cmake)
list(JOIN KESTREL_MIME_TYPES "," KESTREL_MIME_TYPE_TEXT)
file(READ ${CMAKE_CURRENT_LIST_DIR}/kestrel.xml KESTREL_MIME_PACKAGE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/MimeData.cpp.in
               ${CMAKE_CURRENT_BINARY_DIR}/install/MimeData.cpp @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_LIST_DIR}/kestrel.xml ${PROJECT_SOURCE_DIR}/cmake/KestrelMimeTypes.cmake)
list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_BINARY_DIR}/install/MimeData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppIcon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesktopEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesktopIntegration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesktopTools.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileTypes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileWriting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Install.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstallRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MimeAppsList.cpp)
