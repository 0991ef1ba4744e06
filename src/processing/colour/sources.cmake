list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ColorLookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorQuantizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DibRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DitherEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FixedPalettes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FloydSteinbergDitherer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KernelDitherers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OctreePalette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PaletteReduction.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReduceToPalette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReducerInstallation.cpp)
