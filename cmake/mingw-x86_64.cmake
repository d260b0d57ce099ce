# Cross compilation for 64-bit x86 Windows with MinGW-w64 (x86_64-w64-mingw32).
# What ships is the 32-bit build (mingw-i686.cmake); this one is the test
# vehicle on hosts that cannot run 32-bit programs under Wine. Its manifest
# names processorArchitecture amd64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
