# Third-party libraries. Natively they come from Debian's -dev packages; the
# mingw builds use libz-mingw-w64-dev and the libraries that scripts/build-deps
# cross-built into build/deps/<triple>.

find_package(Threads REQUIRED)

if(KV_WINDOWS)
  set(KV_DEPS_PREFIX ${PROJECT_SOURCE_DIR}/build/deps/${KV_MINGW_TRIPLE})
  list(APPEND CMAKE_FIND_ROOT_PATH ${KV_DEPS_PREFIX})
  list(APPEND CMAKE_PREFIX_PATH ${KV_DEPS_PREFIX})
endif()

find_package(ZLIB REQUIRED)

find_path(KV_JPEG_INCLUDE jpeglib.h)
find_library(KV_JPEG_LIB NAMES libjpeg.a jpeg)
if(KV_JPEG_INCLUDE AND KV_JPEG_LIB)
  add_library(kv_jpeg INTERFACE)
  target_include_directories(kv_jpeg INTERFACE ${KV_JPEG_INCLUDE})
  target_link_libraries(kv_jpeg INTERFACE ${KV_JPEG_LIB})
  add_library(kv::jpeg ALIAS kv_jpeg)
else()
  message(FATAL_ERROR "libjpeg not found (run scripts/build-deps for the mingw builds)")
endif()

# GoogleTest is built from Debian's sources with the same compiler as the tests.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
  add_library(GTest::gmock ALIAS gmock)
endif()

if(NOT KV_WINDOWS AND NOT KV_SANITIZE)
  find_package(benchmark QUIET)
  find_package(PNG QUIET)
endif()
