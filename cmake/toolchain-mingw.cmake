# Shared part of the MinGW-w64 toolchains (posix thread model); NEXVALE_MINGW_TRIPLE names the
# target. Windows programs of the build run under Wine through the emulator script.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${NEXVALE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NEXVALE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NEXVALE_MINGW_TRIPLE}-windres)

# Only the cross toolchain's own sysroot; host headers reach the build through the
# project's include shim (see Dependencies.cmake), one folder per library.
set(CMAKE_FIND_ROOT_PATH /usr/${NEXVALE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/harness/wine-exec)
