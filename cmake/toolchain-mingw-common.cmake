# Shared by the MinGW-w64 toolchain files; they set mingw_processor first. The -win32 thread
# model is preferred: the program starts no threads and needs no winpthread runtime beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${mingw_processor})

set(mingw_triplet ${mingw_processor}-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${mingw_triplet}-gcc-win32 ${mingw_triplet}-gcc
                                    ${mingw_triplet}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_triplet}-g++-win32 ${mingw_triplet}-g++
                                      ${mingw_triplet}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_triplet}-windres)
find_program(CMAKE_AR NAMES ${mingw_triplet}-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES ${mingw_triplet}-ranlib REQUIRED)

# Headers and libraries come from the cross sysroot only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
