# Cross-builds the plain C++ parts (engine, settings, the converter and their tests) for
# 64-bit Windows with Debian's mingw-w64 (posix threads, for std::thread). The programs
# run under Wine: ctest starts each test through it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLERY_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLERY_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLERY_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLERY_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLERY_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable carries its runtime (libgcc, libstdc++, winpthread), so it starts
# without DLLs that nothing ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(QUILLERY_WINE NAMES wine wine64)
if(QUILLERY_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLERY_WINE})
endif()
