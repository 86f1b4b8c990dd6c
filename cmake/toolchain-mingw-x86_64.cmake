# Cross build for x86_64 Windows with MinGW-w64.
set(mingw_processor x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
