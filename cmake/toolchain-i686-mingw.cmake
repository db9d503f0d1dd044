# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 (posix threading model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QUILO_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine, in the project's own prefix (scripts/wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
