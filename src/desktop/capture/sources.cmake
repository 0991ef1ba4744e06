list(APPEND KESTREL_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Capture.cpp)
# For the desktop portal's header (platform/display).
find_package(Qt6 REQUIRED COMPONENTS DBus)
list(APPEND KESTREL_LIBS Qt6::DBus)
