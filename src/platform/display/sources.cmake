list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PortalScreenshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScreenDepth.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScreenGrab.cpp)
# The window in front is asked of the X server; on Wayland the desktop portal takes the picture.
find_package(X11 REQUIRED COMPONENTS xcb)
find_package(Qt6 REQUIRED COMPONENTS DBus)
list(APPEND KESTREL_LIBS X11::xcb Qt6::DBus)
