# Packaged install directories for the launch scenarios: the reference bridge
# with the main application's stand-in as the runtime executable, and one
# whose "runtime executable" is not a program at all (its digest matches, so
# the launcher really tries to start it).

# The digest benchmark's program, built on demand by bench/digest.sh.
include(${CMAKE_SOURCE_DIR}/bench/digest.cmake)

if(NOT TARGET CsVarnApi OR NOT TARGET quilo_host_tools OR NOT TARGET runtime_standin)
  return()
endif()

set(QUILO_LAUNCH_INSTALL_DIR ${CMAKE_BINARY_DIR}/standins/launch_install)
set(QUILO_LAUNCH_BROKEN_INSTALL_DIR ${CMAKE_BINARY_DIR}/standins/launch_install_not_a_program)
set(QUILO_NOT_A_PROGRAM ${CMAKE_BINARY_DIR}/standins/not-a-program.txt)
file(WRITE ${QUILO_NOT_A_PROGRAM} "This text stands where the main application's executable should be.\n")

add_test(NAME launch_install_pack
  COMMAND ${QUILO_PACKAGER} --runtime $<TARGET_FILE:runtime_standin>
          --bridge-dir ${QUILO_REFERENCE_BRIDGE_DIR} --output ${QUILO_LAUNCH_INSTALL_DIR} --force)
add_test(NAME launch_install_not_a_program_pack
  COMMAND ${QUILO_PACKAGER} --runtime ${QUILO_NOT_A_PROGRAM}
          --bridge-dir ${QUILO_REFERENCE_BRIDGE_DIR} --output ${QUILO_LAUNCH_BROKEN_INSTALL_DIR} --force)
set_tests_properties(launch_install_pack launch_install_not_a_program_pack PROPERTIES FIXTURES_SETUP launch_install)
list(APPEND QUILO_SCENARIO_FIXTURES launch_install)
