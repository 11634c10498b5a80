# Cross build for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, so that
# std::thread and std::mutex work). Every executable links libgcc, libstdc++ and winpthreads
# statically and runs with nothing beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(STOWAWAY_MINGW x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${STOWAWAY_MINGW}-gcc-posix ${STOWAWAY_MINGW}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${STOWAWAY_MINGW}-g++-posix ${STOWAWAY_MINGW}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${STOWAWAY_MINGW}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${STOWAWAY_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run their Windows programs under Wine, in a prefix of the build directory's own.
find_program(STOWAWAY_WINE NAMES wine)
if(STOWAWAY_WINE)
  set(STOWAWAY_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${STOWAWAY_WINEPREFIX})
endif()

# 64-bit file offsets in the C runtime's lseek and friends; Windows 7 as the oldest target.
set(CMAKE_C_FLAGS_INIT "-D_FILE_OFFSET_BITS=64 -D_WIN32_WINNT=0x0601")
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64 -D_WIN32_WINNT=0x0601")
