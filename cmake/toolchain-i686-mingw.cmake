# Cross-compiles for 32-bit Windows: the launcher as it is released.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUILO_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
