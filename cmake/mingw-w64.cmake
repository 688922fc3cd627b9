# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, which std::thread and std::mutex need). Libraries built for the
# target live under TONEMILL_WINDOWS_PREFIX, the only place besides the
# compiler's own sysroot where find_path and find_library look.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TONEMILL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TONEMILL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TONEMILL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TONEMILL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TONEMILL_MINGW_TRIPLE} ${TONEMILL_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A host loads the plug-in without the compiler's run-time DLLs beside it:
# the C++ library, libgcc and winpthreads go into the plug-in itself.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
