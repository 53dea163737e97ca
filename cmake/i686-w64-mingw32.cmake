# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 (i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(MINGW_TRIPLET i686-w64-mingw32)

# The win32 thread model needs no winpthread DLL; prefer it over the posix one
# whichever the system's default alternative is.
find_program(MINGW_CXX NAMES ${MINGW_TRIPLET}-g++-win32 ${MINGW_TRIPLET}-g++ REQUIRED)
find_program(MINGW_CC NAMES ${MINGW_TRIPLET}-gcc-win32 ${MINGW_TRIPLET}-gcc REQUIRED)
find_program(MINGW_WINDRES NAMES ${MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_C_COMPILER ${MINGW_CC})
set(CMAKE_CXX_COMPILER ${MINGW_CXX})
set(CMAKE_RC_COMPILER ${MINGW_WINDRES})

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
