# The fuzzers are host programs built with clang's libFuzzer and sanitizers:
# an ExternalProject of their own, like the other host tools.
#
# Exports:
#   QUILO_FUZZ_BINARY_DIR  folder of the fuzzer programs
#   quilo_fuzzers          the target that builds them

include(ExternalProject)

set(QUILO_FUZZ_BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz CACHE INTERNAL "Host fuzzer programs")
set(quilo_fuzz_build_command "")
if(NOT CMAKE_GENERATOR MATCHES "Makefiles")
  set(quilo_fuzz_build_command BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j 2)
endif()

ExternalProject_Add(quilo_fuzzers
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
  BINARY_DIR ${QUILO_FUZZ_BINARY_DIR}
  CMAKE_ARGS
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
    -DCMAKE_CXX_COMPILER=clang++
    -DQUILO_SOURCE_DIR=${CMAKE_SOURCE_DIR}
  ${quilo_fuzz_build_command}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
