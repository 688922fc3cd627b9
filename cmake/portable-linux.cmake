# Builds the plug-in library for x86-64 Linux with glibc 2.28 or later, the
# base of the VFX Reference Platform's CY2024-CY2026 Linux (RHEL 8 and 9 and
# their rebuilds). Zig's Clang compiles against glibc 2.28's symbol versions
# and links LLVM's C++ runtime in statically, so the library leans on no C++
# runtime of the host's (which brings its own) nor on Debian's libraries.
# The only include folders besides the toolchain's own are ones that hold no
# C library headers: a newer glibc's headers would undo the version pinning.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig/cc)
set(CMAKE_CXX_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig/c++)
set(CMAKE_AR ${CMAKE_CURRENT_LIST_DIR}/zig/ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${CMAKE_CURRENT_LIST_DIR}/zig/ranlib CACHE FILEPATH "Archive indexer")

# Zig's driver passes --whole-archive on to its linker but refuses
# --push-state, which CMake prefers when the system's linker knows it.
set(_CMAKE_LINKER_PUSHPOP_STATE_SUPPORTED FALSE CACHE INTERNAL "")

# A symbol left undefined would bind to whatever the host process has
# loaded, its own C++ runtime included: every one must resolve at link time.
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-Wl,-z,defs")

# Zig builds its C++ runtime with debug information; a release library
# leaves it out, as GCC's release builds have none to begin with.
foreach(type MODULE SHARED)
  set(CMAKE_${type}_LINKER_FLAGS_RELEASE_INIT "-Wl,--strip-debug")
  set(CMAKE_${type}_LINKER_FLAGS_MINSIZEREL_INIT "-Wl,--strip-debug")
endforeach()
