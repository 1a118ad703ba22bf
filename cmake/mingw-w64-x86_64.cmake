# Cross-compiles the Windows build with mingw-w64 (x86_64, posix thread model).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VP_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
find_program(VP_WIDL NAMES ${VP_MINGW_PREFIX}-widl widl)
