# Shared by the MinGW-w64 toolchain files: set MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
# Cross builds for Windows from Linux with the -posix compilers (std::thread and std::mutex
# work with them), windres for resources, and Wine to run what is built.

set(CMAKE_SYSTEM_NAME Windows)
# The oldest Windows the programs run on: 7 (6.1). The headers hide what is newer
# (_WIN32_WINNT), and the program's header says so (win32/CMakeLists.txt), for both
# architectures alike: MinGW's own defaults, 4.0 on i686 and 5.2 on x86_64, are older than what
# the program imports.
set(LATCHSWEEP_WINDOWS_MAJOR 6)
set(LATCHSWEEP_WINDOWS_MINOR 1)
set(CMAKE_SYSTEM_VERSION ${LATCHSWEEP_WINDOWS_MAJOR}.${LATCHSWEEP_WINDOWS_MINOR})

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in: the programs need no MinGW runtime DLL beside them, only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_OBJDUMP ${MINGW_TRIPLE}-objdump)

# Programs built here run under Wine with a prefix of the build tree's own, created on first
# use (see wine-run.sh.in). CTest uses this for every test and so does the end-to-end script.
set(LATCHSWEEP_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(LATCHSWEEP_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run.sh")
set(CMAKE_CROSSCOMPILING_EMULATOR "${LATCHSWEEP_WINE_RUN}")
if(NOT CMAKE_BINARY_DIR MATCHES "/CMakeFiles/")
  # Not for the compiler checks' scratch projects, which run nothing.
  configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${LATCHSWEEP_WINE_RUN}" @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
