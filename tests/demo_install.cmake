# Fixture: the demo install directory the README's demo runs in, packaged the
# same way (demo main application as the runtime, the reference bridge, the
# demo updater and support program under their install-directory names).

if(NOT TARGET CsVarnApi OR NOT TARGET quilo_host_tools OR NOT TARGET tarvex_demo_app)
  return()
endif()

set(QUILO_DEMO_TEST_DIR ${CMAKE_BINARY_DIR}/demo-test)

add_test(NAME demo_install_pack
  COMMAND ${QUILO_PACKAGER} --runtime $<TARGET_FILE:tarvex_demo_app>
          --bridge-dir ${QUILO_REFERENCE_BRIDGE_DIR}
          --add ${QUILO_DEMO_NAMED_DIR}/orloupd.exe --add ${QUILO_DEMO_NAMED_DIR}/Pelko.exe
          --output ${QUILO_DEMO_TEST_DIR}/install --force)
set_tests_properties(demo_install_pack PROPERTIES FIXTURES_SETUP demo_install)

# Only the demo suite needs it; the suite's test exists once tests/CMakeLists.txt
# has gone through the scenario sources, hence the deferred call.
cmake_language(DEFER CALL set_property TEST demo_scenarios APPEND PROPERTY FIXTURES_REQUIRED demo_install)
cmake_language(DEFER CALL add_dependencies demo_scenarios tarvex_demo_app tarvex_demo_updater
               tarvex_demo_support CsVarnApi CsVarnLab quilo_host_tools)
