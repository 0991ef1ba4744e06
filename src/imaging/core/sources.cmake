list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Exceptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageLimits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Color.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Palette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DibPalette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefaultPalettes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RgbToPaletteConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Screen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PixelStorage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Graphic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Canvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Bitmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DibGraphic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp)
