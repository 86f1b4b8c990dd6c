# minizip's unzip reader (unzip.c, ioapi.c) for the Windows build, compiled from Debian's
# source package against the cross compiler's zlib and linked statically, so the program
# needs no zlib or minizip DLL beside it. DADAZADO_MINIZIP_SOURCE is a directory holding
# minizip/unzip.c; when it is not given the sources are fetched below the build tree.
set(DADAZADO_MINIZIP_SOURCE "" CACHE PATH "Directory that holds minizip/unzip.c")
set(minizip_root "${DADAZADO_MINIZIP_SOURCE}")
if(minizip_root STREQUAL "")
  set(minizip_root "${CMAKE_BINARY_DIR}/minizip-source")
endif()
if(NOT EXISTS "${minizip_root}/minizip/unzip.c")
  execute_process(
    COMMAND "${PROJECT_SOURCE_DIR}/scripts/fetch-minizip-source.sh" "${minizip_root}"
    RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0 OR NOT EXISTS "${minizip_root}/minizip/unzip.c")
    message(FATAL_ERROR "no minizip source in ${minizip_root} (scripts/fetch-minizip-source.sh)")
  endif()
endif()

find_path(MINGW_ZLIB_INCLUDE_DIR zlib.h REQUIRED)
find_library(MINGW_ZLIB_LIBRARY NAMES libz.a z REQUIRED)

add_library(minizip_unzip STATIC "${minizip_root}/minizip/unzip.c" "${minizip_root}/minizip/ioapi.c")
# Archives are never password protected here; without the decryption code unzip.c needs no
# random source either.
target_compile_definitions(minizip_unzip PRIVATE NOUNCRYPT)
target_include_directories(minizip_unzip SYSTEM PUBLIC "${minizip_root}" "${MINGW_ZLIB_INCLUDE_DIR}")
target_link_libraries(minizip_unzip PUBLIC "${MINGW_ZLIB_LIBRARY}")
