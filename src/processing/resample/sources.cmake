list(APPEND KESTREL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BoxResampler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilteredStretch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResampleFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SampleRates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StretchWeights.cpp)
# The filter loops are where resizing spends its time.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/FilteredStretch.cpp PROPERTIES COMPILE_OPTIONS -O3)
list(APPEND KESTREL_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Halving.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/Halving.cpp PROPERTIES COMPILE_OPTIONS -O3)
