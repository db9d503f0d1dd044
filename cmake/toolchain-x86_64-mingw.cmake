# Cross-compiles the same sources for 64-bit Windows, so that the whole suite
# also runs on machines that cannot execute 32-bit x86 code (64-bit Wine only).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILO_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
