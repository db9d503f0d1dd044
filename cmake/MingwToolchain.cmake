# Shared part of the MinGW-w64 toolchain files (Debian's posix threading model).
# The including file sets QUILO_MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QUILO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine, in the build tree's own prefix (scripts/wine-run.sh),
# which is 32-bit or 64-bit after the width of the build.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
