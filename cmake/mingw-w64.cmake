# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, in its POSIX-threads flavour:
# std::thread and std::mutex, which Qt uses, need it. Serves both Qt's own build and the
# calculator's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)

# Headers and libraries come from the cross toolchain and from the Windows Qt named in
# CMAKE_PREFIX_PATH, never from the Linux system; programs (moc, rcc) from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
