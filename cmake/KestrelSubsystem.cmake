# One library per subsystem. Each feature folder under src/<subsystem>/ adds its files through a
# sources.cmake of its own (list(APPEND KESTREL_SOURCES ...)), so features land without touching
# a shared list. The include root is src/, so code includes "imaging/core/DibGraphic.h".
function(kestrel_collect out dir pattern)
  file(GLOB_RECURSE lists CONFIGURE_DEPENDS ${dir}/${pattern})
  list(SORT lists)
  set(KESTREL_SOURCES)
  set(KESTREL_LIBS)
  foreach(l ${lists})
    include(${l})
  endforeach()
  set(${out} ${KESTREL_SOURCES} PARENT_SCOPE)
  set(${out}_LIBS ${KESTREL_LIBS} PARENT_SCOPE)
endfunction()

# kestrel_subsystem_library(NAME [PUBLIC deps...]); a sources.cmake may also
# list(APPEND KESTREL_LIBS ...) for a library only its folder uses (linked privately).
function(kestrel_subsystem_library name)
  cmake_parse_arguments(K "" "" "PUBLIC;PRIVATE" ${ARGN})
  kestrel_collect(srcs ${CMAKE_CURRENT_SOURCE_DIR} sources.cmake)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${K_PUBLIC} PRIVATE ${K_PRIVATE} ${srcs_LIBS})
  kestrel_warnings(${name})
endfunction()

# kestrel_subsystem_tests(NAME libs...): one GoogleTest program per subsystem from every tests.cmake
# below the current folder (a tests.cmake may also list(APPEND KESTREL_LIBS ...) for test-only
# libraries); test data is found through KESTREL_TEST_DATA.
function(kestrel_subsystem_tests name)
  kestrel_collect(srcs ${CMAKE_CURRENT_SOURCE_DIR} tests.cmake)
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} ${srcs_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE KESTREL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
                                             KESTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  kestrel_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# kestrel_fuzzers(libs...): every fuzz_*.cpp in the current folder is one libFuzzer target; its seed
# corpus is fuzz/corpus/<target>/.
function(kestrel_fuzzers)
  file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_*.cpp)
  foreach(f ${fuzzers})
    get_filename_component(t ${f} NAME_WE)
    add_executable(${t} ${f})
    # No moc: its autogen folder would sit beside the targets that tools/fuzz looks for.
    set_target_properties(${t} PROPERTIES AUTOMOC OFF)
    target_link_libraries(${t} PRIVATE ${ARGN})
    target_link_options(${t} PRIVATE -fsanitize=fuzzer)
  endforeach()
endfunction()

# kestrel_benchmarks(libs...): every bench_*.cpp in the current folder is one Google Benchmark program.
function(kestrel_benchmarks)
  file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/bench_*.cpp)
  foreach(f ${benches})
    get_filename_component(t ${f} NAME_WE)
    add_executable(${t} ${f})
    target_link_libraries(${t} PRIVATE ${ARGN} benchmark::benchmark)
    kestrel_warnings(${t})
  endforeach()
endfunction()

# kestrel_add_subsystems(base): adds base/<subsystem> for each subsystem folder that has a CMakeLists.txt,
# in dependency order; a folder added later is noticed at the next build (CONFIGURE_DEPENDS).
function(kestrel_add_subsystems base)
  file(GLOB present CONFIGURE_DEPENDS ${base}/*/CMakeLists.txt)
  set(dirs platform imaging processing browse desktop app cli)
  if(KESTREL_FUZZ)
    # The fuzzers read files through the libraries; the windows need not be built with the fuzzer.
    set(dirs platform imaging processing)
  endif()
  foreach(dir ${dirs})
    if(EXISTS ${base}/${dir}/CMakeLists.txt)
      add_subdirectory(${base}/${dir})
    endif()
  endforeach()
endfunction()
