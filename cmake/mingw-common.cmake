# What both Windows trees share: MinGW-w64 of the posix thread model, static
# runtime, tests under Wine. The including file sets CMAKE_SYSTEM_PROCESSOR,
# OVEL_MINGW_PREFIX and OVEL_WINE_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${OVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${OVEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Sections aligned to pages in the file too: Wine then maps them from the file
# instead of copying each one, debug information included, into private memory.
set(OVEL_MINGW_LINK_FLAGS "-static -static-libgcc -static-libstdc++ -Wl,--file-alignment,4096")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${OVEL_MINGW_LINK_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${OVEL_MINGW_LINK_FLAGS}")

# ctest runs the Windows programs under Wine, each in a fresh private prefix of
# the tree's architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${OVEL_WINE_ARCH})
