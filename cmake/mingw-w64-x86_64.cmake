# The 64-bit Windows game (x64), for Windows 10 and 11 on 64-bit machines.
set(ORVANTA_MINGW_TARGET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
