# Cross compilation for 32-bit x86 Windows with MinGW-w64 (i686-w64-mingw32).
# SETUP.EXE is a 32-bit program: its manifest names processorArchitecture X86.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
