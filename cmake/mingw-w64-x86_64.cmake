# Cross-compiles the Windows program with MinGW-w64 on Linux. The thread model is POSIX by default
# (the tests use std::thread); HKV_MINGW_THREADS=win32 picks the compilers whose runtime uses the
# Windows primitives directly, which the released program, having no threads of its own, prefers:
# it does not link the POSIX emulation (about 27 KB).
if(NOT HKV_MINGW_THREADS)
  set(HKV_MINGW_THREADS posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-${HKV_MINGW_THREADS})
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-${HKV_MINGW_THREADS})
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
