# kv_glob_sources(<var>): the .cpp files of the current folder for this build.
# Files ending in _win.cpp are built only for Windows, _posix.cpp only natively,
# so a folder's platform back ends sit next to the portable code. Files ending
# in _wintest.cpp compare our code with Windows' own; their folder lists them.
function(kv_glob_sources var)
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER files EXCLUDE REGEX "_wintest\\.cpp$")
  if(KV_WINDOWS)
    list(FILTER files EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(${var} ${files} PARENT_SCOPE)
endfunction()
