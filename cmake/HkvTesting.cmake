# GoogleTest is built from the distribution's sources, with the same compiler as the code under test.
# A Windows build machine has no such package: its preset (msvc-tests) fetches a tagged release.
set(HKV_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
option(HKV_GTEST_FETCH "Fetch GoogleTest's sources at configure time instead" OFF)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(HKV_GTEST_FETCH)
  include(FetchContent)
  FetchContent_Declare(googletest GIT_REPOSITORY https://github.com/google/googletest.git
                                  GIT_TAG v1.14.0 GIT_SHALLOW TRUE)
  FetchContent_MakeAvailable(googletest)
else()
  add_subdirectory(${HKV_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
if(MINGW OR HKV_SANITIZE)
  # Unoptimised, GoogleTest brings thousands of section groups into every test executable, and the
  # MinGW-w64 linker took about 4 s for them in each; optimised and without debug information (no
  # one steps through the framework) it links in a fraction of a second. On the host it is left
  # without the sanitizers too, which look at the code under test: compiled with them it took 28 s,
  # the longest step of the host build.
  target_compile_options(gtest PRIVATE $<$<CONFIG:Debug>:-O1;-g0>)
endif()

# The entry point, compiled once for all test executables.
add_library(hkv_test_main OBJECT ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
target_link_libraries(hkv_test_main PRIVATE hkv_common gtest)
if(HKV_PRECOMPILED_HEADERS)
  # GoogleTest and the Windows headers, precompiled once here and reused by every test executable,
  # which compile with the same options.
  target_precompile_headers(hkv_test_main PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch/test_headers.h)
endif()

# One test executable is one ctest test: starting a Wine process costs seconds, so all cases of an
# executable run in a single process.
function(hkv_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 240)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} hkv_common gtest hkv_test_main)
  if(HKV_PRECOMPILED_HEADERS)
    target_precompile_headers(${name} REUSE_FROM hkv_test_main)
  endif()
  if(HKV_UNITY_TESTS)
    # The tests of an executable share most of what they include and instantiate (GoogleTest, the
    # input helpers): compiled together, that is compiled and linked once. A source that does not
    # fit with the others (a name of its own clashing with another's) is kept apart with
    # SKIP_UNITY_BUILD_INCLUSION; sources with options of their own are kept apart anyway.
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      # GCC takes every source included into the combined one for a header, and a test fixture
      # defined in an anonymous namespace of such a "header" for a linkage fault.
      target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
    endif()
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/HkvProgramUnderTest.cmake)
