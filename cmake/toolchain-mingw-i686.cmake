# Cross build for i686 Windows with MinGW-w64.
set(mingw_processor i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
