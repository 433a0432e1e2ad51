# The 32-bit Windows game (x86), for 32-bit Windows and the screen readers' 32-bit libraries.
set(ORVANTA_MINGW_TARGET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
