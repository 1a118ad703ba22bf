# Cross-compiles the 32-bit companions (the hook library for 32-bit applications and its
# host) with mingw-w64 (i686, posix thread model).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VP_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
