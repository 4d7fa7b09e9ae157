# 32-bit Windows build with MinGW-w64: the release, for the 32-bit platform the program is made
# for. Its programs run under Wine's WoW64 half (Debian's wine32), tested like the 64-bit ones.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
