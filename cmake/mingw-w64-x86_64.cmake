# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads,
# for std::thread and std::call_once). Programs are linked statically, so
# they need no mingw DLLs beside them; they run here under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# The archivers that hand link-time optimisation's objects to the linker
# plugin (plain ar would leave the optimised build's libraries unindexed).
set(CMAKE_AR x86_64-w64-mingw32-gcc-ar-posix)
set(CMAKE_RANLIB x86_64-w64-mingw32-gcc-ranlib-posix)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Terminal-server aware, as Microsoft's linker marks a program by default:
# a Remote Desktop host then applies no compatibility handling (per-user
# copies of system INI files and registry keys) to it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--tsaware")
# An optimised build is made for its size, the one figure of a statically
# linked program a user sees: each function and datum in a section of its
# own, so the linker drops what nothing calls (in the C++ library too).
# Cache entries: CMake would put its own -O3 after an initial value.
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG -ffunction-sections -fdata-sections"
  CACHE STRING "Flags of the optimised build")
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG -ffunction-sections -fdata-sections"
  CACHE STRING "Flags of the optimised build")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-Wl,--gc-sections")

# Tests and test discovery run the programs through Wine, in a prefix of
# this build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR
  "${CMAKE_CURRENT_LIST_DIR}/wine-run;${CMAKE_BINARY_DIR}/wineprefix")
