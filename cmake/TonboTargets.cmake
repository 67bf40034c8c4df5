# Helpers shared by every folder's CMakeLists.txt.

# tonbo_library(NAME SOURCES... [QT_FREE] LIBS ...)
# A static library under src/ whose headers are included as "folder/Header.h".
function(tonbo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# tonbo_gtest(NAME SOURCES... LIBS ...): a GoogleTest executable registered with CTest.
function(tonbo_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tonbo_test_gtest_main GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()

# tonbo_qtest(NAME SOURCES... LIBS ...): a Qt Test executable registered with CTest.
function(tonbo_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tonbo_test_support Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# tonbo_glob_library(NAME DIR LIBS ...): a library of every .cpp in DIR (not recursive).
function(tonbo_glob_library name dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  tonbo_library(${name} SOURCES ${srcs} LIBS ${ARG_LIBS})
endfunction()

# tonbo_glob_gtest(NAME DIR LIBS ...): one GoogleTest executable of every .cpp in DIR.
function(tonbo_glob_gtest name dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  tonbo_gtest(${name} SOURCES ${srcs} LIBS ${ARG_LIBS})
endfunction()

# tonbo_glob_qtests(PREFIX DIR LIBS ...): one Qt Test executable per .cpp in DIR.
function(tonbo_glob_qtests prefix dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  foreach(src ${srcs})
    get_filename_component(stem ${src} NAME_WE)
    tonbo_qtest(${prefix}_${stem} SOURCES ${src} LIBS ${ARG_LIBS})
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
endfunction()
