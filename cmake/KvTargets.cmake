# Helpers every folder uses to declare its targets, so that the three presets
# build the same tree: portable targets everywhere, Win32 targets only in the
# mingw builds, tests registered with a result file each.

set(KV_WINDOWS ${WIN32})
option(KV_SANITIZE "Build native code with AddressSanitizer and UBSan" OFF)

set(KV_WARNINGS -Wall -Wextra)
if(KV_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
if(NOT KV_WINDOWS AND KV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# src/ is the include root: #include "base/KvText.h".
include_directories(${PROJECT_SOURCE_DIR}/src)

# Window tests wait only for what they observe, so each program has a budget
# rather than a generous time-out: every toolkit issue adds some, and all of
# `make test` must stay under 30 minutes on a fresh 2-core machine. A program
# that needs more is split or moves its slow part to a portable test.
set(KV_WINDOW_TEST_BUDGET 90)

set(KV_RESULTS_DIR ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${KV_RESULTS_DIR})
set_property(GLOBAL PROPERTY KV_TEST_NAMES "")

# Build time: `make test` compiles everything from scratch on a 2-core machine
# with no compiler cache, and most of that time went into parsing the same
# headers again for every file and into optimising and describing test code.
# So every target shares a precompiled header with the targets of its kind
# (the kinds below), and in the mingw builds the test programs' own code is
# compiled for compiling speed (-Og) without debug information, while the code
# under test stays as the product builds it. The mingw builds keep line tables
# only (-g1): enough for a backtrace with files and lines.
if(KV_WINDOWS)
  add_compile_options($<$<CONFIG:RelWithDebInfo>:-g1>)
  set(KV_TEST_OPTIONS -Og -g0)
endif()
# ccache takes a file compiled with a precompiled header only when told that
# the header's time stamps and command-line macros do not matter.
set(KV_CCACHE_SLOPPINESS $ENV{CCACHE_SLOPPINESS} pch_defines time_macros)
list(REMOVE_ITEM KV_CCACHE_SLOPPINESS "")
list(JOIN KV_CCACHE_SLOPPINESS "," KV_CCACHE_SLOPPINESS)
foreach(lang C CXX)
  if(CMAKE_${lang}_COMPILER_LAUNCHER MATCHES "ccache$")
    set(CMAKE_${lang}_COMPILER_LAUNCHER env CCACHE_SLOPPINESS=${KV_CCACHE_SLOPPINESS}
                                        ${CMAKE_${lang}_COMPILER_LAUNCHER})
  endif()
endforeach()
set(KV_PCH_STD <algorithm> <cstdint> <functional> <map> <memory> <string> <vector>)
set(KV_PCH_lib ${KV_PCH_STD})
set(KV_PCH_lib_win ${KV_PCH_STD} <windows.h> <commctrl.h>)
set(KV_PCH_test ${KV_PCH_STD} <gtest/gtest.h>)
set(KV_PCH_test_win ${KV_PCH_test} <windows.h> <commctrl.h> [["classlib/Forms.h"]])

# kv_use_pch(<target> <kind>): <target> reuses the precompiled header of its
# kind, built once by an otherwise empty library with the same options (a
# precompiled header is only taken with the options it was built with).
function(kv_use_pch target kind)
  set(host kv_pch_${kind})
  if(NOT TARGET ${host})
    set(empty ${CMAKE_BINARY_DIR}/kv_pch_empty.cpp)
    if(NOT EXISTS ${empty})
      file(WRITE ${empty} "")
    endif()
    add_library(${host} STATIC ${empty})
    target_compile_options(${host} PRIVATE ${KV_WARNINGS} -Winvalid-pch)
    if(kind MATCHES "^test")
      target_compile_options(${host} PRIVATE ${KV_TEST_OPTIONS})
      target_link_libraries(${host} PRIVATE GTest::gtest)
      target_include_directories(${host} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    endif()
    target_precompile_headers(${host} PRIVATE ${KV_PCH_${kind}})
  endif()
  target_compile_options(${target} PRIVATE -Winvalid-pch)
  target_precompile_headers(${target} REUSE_FROM ${host})
endfunction()

# kv_library(<name> [WINDOWS] SOURCES ... [LIBS ...])
# A library without WINDOWS is portable: it never includes windows.h.
function(kv_library name)
  cmake_parse_arguments(A "WINDOWS" "" "SOURCES;LIBS" ${ARGN})
  if(A_WINDOWS AND NOT KV_WINDOWS)
    return()
  endif()
  add_library(${name} STATIC ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${KV_WARNINGS})
  if(A_WINDOWS)
    kv_use_pch(${name} lib_win)
  else()
    kv_use_pch(${name} lib)
  endif()
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
  set_property(GLOBAL APPEND PROPERTY KV_LIBRARY_NAMES ${name})
endfunction()

# kv_test(<name> [WINDOWS] SOURCES ... [LIBS ...] [TIMEOUT s] [WRAPPER script args...])
# WINDOWS tests carry the label "window"; without a WRAPPER their time-out is
# the window-test budget.
# Portable tests run natively and, through Wine, in both Windows builds.
# WRAPPER runs the test program through a script (given the program and its
# arguments), which must start a .exe through scripts/wine-run itself: CTest
# adds the emulator only when the command is a target.
function(kv_test name)
  cmake_parse_arguments(A "WINDOWS" "TIMEOUT" "SOURCES;LIBS;WRAPPER" ${ARGN})
  if(A_WINDOWS AND NOT KV_WINDOWS)
    return()
  endif()
  if(NOT A_TIMEOUT)
    if(A_WINDOWS AND NOT A_WRAPPER)
      set(A_TIMEOUT ${KV_WINDOW_TEST_BUDGET})
    else()
      set(A_TIMEOUT 300)
    endif()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${KV_WARNINGS} ${KV_TEST_OPTIONS})
  if(A_WINDOWS)
    kv_use_pch(${name} test_win)
  else()
    kv_use_pch(${name} test)
  endif()
  # The Windows builds' programs end their process once the results are
  # written (tests/support/TestMain_win.cpp).
  if(KV_WINDOWS)
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock kv_test_main)
  else()
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  endif()
  # Helpers shared by test programs: #include "support/Pump.h".
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The result file, not the exit code, tells whether the tests ran: a test
  # program that Wine could not start exits 0 having done nothing.
  if(A_WRAPPER)
    add_test(NAME ${name}
             COMMAND ${A_WRAPPER} $<TARGET_FILE:${name}> --gtest_output=xml:${name}.xml
             WORKING_DIRECTORY ${KV_RESULTS_DIR})
  else()
    add_test(NAME ${name}
             COMMAND ${name} --gtest_output=xml:${name}.xml
             WORKING_DIRECTORY ${KV_RESULTS_DIR})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
  if(A_WINDOWS)
    set_tests_properties(${name} PROPERTIES LABELS window)
  endif()
  set_property(GLOBAL APPEND PROPERTY KV_TEST_NAMES ${name})
endfunction()

# kv_bench(<name> SOURCES ... [LIBS ...]): native optimised builds only.
function(kv_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(KV_WINDOWS OR KV_SANITIZE OR NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${KV_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark)
endfunction()

function(kv_write_test_list)
  get_property(names GLOBAL PROPERTY KV_TEST_NAMES)
  list(JOIN names "\n" text)
  file(WRITE ${CMAKE_BINARY_DIR}/kv-tests.txt "${text}\n")
endfunction()

# kv_products: every library and the programs, without the test programs
# (what a build that runs no tests needs to prove that it compiles).
function(kv_add_products_target)
  get_property(libs GLOBAL PROPERTY KV_LIBRARY_NAMES)
  add_custom_target(kv_products)
  add_dependencies(kv_products ${libs})
  foreach(program kvconfig devicesim skinsheet)
    if(TARGET ${program})
      add_dependencies(kv_products ${program})
    endif()
  endforeach()
endfunction()
