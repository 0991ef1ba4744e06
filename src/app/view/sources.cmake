list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AnimationView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dpicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DrawingPalette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageKind.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaletteSynthesis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureLoader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewCopy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewPainter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewTexts.cpp)
