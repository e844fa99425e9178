# Cross-building for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix,
# libz-mingw-w64-dev): cmake -S . -B build-win -G Ninja
#   -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DRAVELIN_BENCH=OFF -DRAVELIN_TESTS=OFF
# The posix thread model gives std::thread and std::mutex. Everything is linked statically
# (the compiler's run-time, libstdc++, winpthreads and zlib), so the .exe needs no DLL
# beside it; wine runs it as it is.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ravelin_mingw x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ravelin_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ravelin_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${ravelin_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ravelin_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Programs built here run under wine (tests through ctest too).
find_program(RAVELIN_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(RAVELIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RAVELIN_WINE})
endif()
