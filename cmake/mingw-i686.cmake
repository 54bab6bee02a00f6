# 32-bit Windows programs: what the system ships.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(OVEL_MINGW_PREFIX i686-w64-mingw32)
set(OVEL_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
