# Host tools (the packager, its tests, later the fuzzers) run on the build
# machine, so they are a separate CMake project built with the machine's own
# compiler: an ExternalProject without the cross toolchain file.
#
# Exports:
#   QUILO_PACKAGER        the packager executable
#   QUILO_HOST_TESTS_DIR  folder of the host test programs
#   quilo_host_tools      the target that builds them

include(ExternalProject)
include(${CMAKE_CURRENT_LIST_DIR}/Sqlite3mc.cmake)

# The cross build and the host build share one fetched amalgamation.
quilo_fetch_sqlite3mc()

set(QUILO_HOST_BINARY_DIR ${CMAKE_BINARY_DIR}/host)
set(QUILO_PACKAGER ${QUILO_HOST_BINARY_DIR}/packager/quilo-packager CACHE INTERNAL "Host packager executable")
set(QUILO_HOST_TESTS_DIR ${QUILO_HOST_BINARY_DIR}/tests CACHE INTERNAL "Host test programs")
set(QUILO_HOST_BUILD_JOBS 2 CACHE STRING "Parallel jobs of the host tools build when the generator has no job server")

set(quilo_host_build_command "")
if(NOT CMAKE_GENERATOR MATCHES "Makefiles")
  # Make passes its job server down; other generators would pick their own width.
  set(quilo_host_build_command BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j ${QUILO_HOST_BUILD_JOBS})
endif()

ExternalProject_Add(quilo_host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
  BINARY_DIR ${QUILO_HOST_BINARY_DIR}
  CMAKE_ARGS
    -DCMAKE_BUILD_TYPE=Release
    -DQUILO_SOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DQUILO_SQLITE3MC_DIR=${QUILO_SQLITE3MC_DIR}
  ${quilo_host_build_command}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${QUILO_PACKAGER}
  DEPENDS quilo_sqlite3mc_sources)
