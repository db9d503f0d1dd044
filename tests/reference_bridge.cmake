# The reference bridge and the packager: host tests of the packager, and a
# Windows test that loads the bridge from a packaged install directory.

if(NOT TARGET CsVarnApi OR NOT TARGET quilo_host_tools)
  return()
endif()

set(QUILO_REFERENCE_TEST_DIR ${CMAKE_BINARY_DIR}/reference)

# Host programs run directly, not under Wine.
if(QUILO_HOST_TESTS)
  add_test(NAME packager_host_tests COMMAND ${QUILO_HOST_TESTS_DIR}/packager_tests)
endif()

# A small runtime executable to pack: any Windows program will do.
add_executable(reference_runtime reference/reference_runtime.cpp)
set_target_properties(reference_runtime PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUILO_REFERENCE_TEST_DIR})
target_link_options(reference_runtime PRIVATE -mconsole)

# Fixture: a packaged install directory in the build tree.
add_test(NAME reference_install_pack
  COMMAND ${QUILO_PACKAGER} --runtime $<TARGET_FILE:reference_runtime>
          --bridge-dir ${QUILO_REFERENCE_BRIDGE_DIR} --output ${QUILO_REFERENCE_TEST_DIR}/install --force)
set_tests_properties(reference_install_pack PROPERTIES FIXTURES_SETUP reference_install)

add_executable(reference_bridge_test reference/reference_bridge_test.cpp)
target_include_directories(reference_bridge_test PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(reference_bridge_test PRIVATE gtest gtest_main)
target_link_options(reference_bridge_test PRIVATE -mconsole)
add_dependencies(reference_bridge_test CsVarnApi CsVarnLab reference_runtime quilo_host_tools)
quilo_add_wine_test(reference_bridge reference_bridge_test FIXTURES reference_install)
