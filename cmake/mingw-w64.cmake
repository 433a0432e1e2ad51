# Cross-builds the Windows game on Debian with MinGW-w64, for the target that the including
# toolchain file names in ORVANTA_MINGW_TARGET (i686-w64-mingw32 or x86_64-w64-mingw32): the
# POSIX-thread compilers (the win32 thread variant has no std::thread or std::mutex), every
# library linked in statically so the game is one .exe. Programs built here run under Wine of
# the same bitness (see cmake/wine-run.sh.in).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ORVANTA_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANTA_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANTA_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVANTA_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
