# 64-bit Windows programs: a complete build of the same sources, and the tree
# whose tests run on hosts that cannot execute 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(OVEL_MINGW_PREFIX x86_64-w64-mingw32)
set(OVEL_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
