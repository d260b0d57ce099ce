# What both MinGW-w64 toolchains share; MINGW_TRIPLE names the target.
# MIRTEL_MINGW_THREADS picks the compilers' thread model:
#   posix  (default) its C++ library has std::mutex and friends, which
#          GoogleTest needs; -static links the winpthreads library into each
#          program, and that library imports functions of Windows XP and
#          Vista (GetTickCount64, AddVectoredExceptionHandler, ...)
#   win32  no std::mutex, but nothing imported beyond what Windows 95 and
#          NT 4.0 export: SETUP.EXE is linked with it (src/CMakeLists.txt)
if(NOT MIRTEL_MINGW_THREADS)
  set(MIRTEL_MINGW_THREADS posix)
endif()
# The compiler checks' own projects read this file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MIRTEL_MINGW_THREADS)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-${MIRTEL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-${MIRTEL_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
