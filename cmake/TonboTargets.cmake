# Helpers shared by every folder's CMakeLists.txt.

# tonbo_library(NAME SOURCES ... LIBS ... [PCH KIND])
# A static library under src/ whose headers are included as "folder/Header.h",
# with KIND's precompiled header (TonboPch.cmake) if given.
function(tonbo_library name)
  cmake_parse_arguments(ARG "" "PCH" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  if(ARG_PCH)
    tonbo_use_pch(${name} ${ARG_PCH})
  endif()
endfunction()

# tonbo_gtest(NAME SOURCES... LIBS ... [NO_PCH]): a GoogleTest executable registered
# with CTest; NO_PCH for one that links no Qt, so builds without the -fPIC the
# tests' precompiled header has.
function(tonbo_gtest name)
  cmake_parse_arguments(ARG "NO_PCH" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tonbo_test_gtest_main GTest::gtest GTest::gmock)
  if(NOT ARG_NO_PCH)
    tonbo_use_pch(${name} gtest)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()

# tonbo_glob_library(NAME DIR LIBS ... [PCH KIND]): a library of every .cpp in DIR
# (not recursive).
function(tonbo_glob_library name dir)
  cmake_parse_arguments(ARG "" "PCH" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  tonbo_library(${name} SOURCES ${srcs} LIBS ${ARG_LIBS} PCH ${ARG_PCH})
endfunction()

# tonbo_glob_gtest(NAME DIR LIBS ...): one GoogleTest executable of every .cpp in DIR.
function(tonbo_glob_gtest name dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  tonbo_gtest(${name} SOURCES ${srcs} LIBS ${ARG_LIBS})
endfunction()

# tonbo_qtests(PREFIX SOURCES... LIBS ...): one Qt Test program PREFIX_qtests of
# the folder's test classes, and one CTest entry PREFIX_STEM per source file
# that runs that file's class in a process of its own.
function(tonbo_qtests prefix)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(program ${prefix}_qtests)
  add_executable(${program} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
  set_target_properties(${program} PROPERTIES AUTOMOC ON)
  target_link_libraries(${program} PRIVATE ${ARG_LIBS} tonbo_test_support Qt6::Test)
  tonbo_use_pch(${program} qtest)
  foreach(src ${ARG_SOURCES})
    get_filename_component(stem ${src} NAME_WE)
    add_test(NAME ${prefix}_${stem} COMMAND ${program} ${stem})
    set_tests_properties(${prefix}_${stem} PROPERTIES TIMEOUT 300)
  endforeach()
endfunction()

# tonbo_glob_bench(NAME DIR [OWN_MAIN] LIBS ...): one Google Benchmark executable of every
# .cpp in DIR, run in the tests' sandbox by the shared main unless OWN_MAIN.
function(tonbo_glob_bench name dir)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_executable(${name} ${srcs})
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE tonbo_bench_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark tonbo_test_env)
  tonbo_use_pch(${name} bench)
endfunction()

# tonbo_fuzz_replay(NAME SOURCE FILE LIBS ... [DEFINES ...]): the fuzz target FILE
# (fuzz/, an LLVMFuzzerTestOneInput) built without libFuzzer as
# tonbo_replay_NAME, and a test that runs it over fuzz/seeds/NAME.
function(tonbo_fuzz_replay name)
  cmake_parse_arguments(ARG "" "SOURCE" "LIBS;DEFINES" ${ARGN})
  add_executable(tonbo_replay_${name} ${PROJECT_SOURCE_DIR}/fuzz/${ARG_SOURCE}
                 ${PROJECT_SOURCE_DIR}/fuzz/Replay.cpp)
  target_link_libraries(tonbo_replay_${name} PRIVATE ${ARG_LIBS})
  target_compile_definitions(tonbo_replay_${name} PRIVATE ${ARG_DEFINES})
  add_test(NAME FuzzSeeds.${name}
           COMMAND tonbo_replay_${name} ${PROJECT_SOURCE_DIR}/fuzz/seeds/${name})
  set_tests_properties(FuzzSeeds.${name} PROPERTIES TIMEOUT 300)
endfunction()
