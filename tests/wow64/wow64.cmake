# The WoW64 set: the 32-bit launcher as most users run it, on a 64-bit Windows
# with a main application that runs as a 64-bit process. In the i686 build
# tree, when QUILO_WOW64_PARTNER_DIR names an x86_64 build tree, a chosen set of
# scenario suites runs again in a 64-bit prefix of this tree
# (wineprefix64), with the partner tree's 64-bit runtime stand-in packaged as
# the main application, plus tests/wow64/wow64_scenarios.cpp, which only
# means something there. All carry the label wow64; scripts/test.sh runs them
# on machines that execute 32-bit code, after the rest of the i686 leg.

set(QUILO_WOW64_PARTNER_DIR "" CACHE PATH
    "x86_64 build tree whose 64-bit runtime stand-in the WoW64 scenarios use (i686 trees only)")
if(NOT QUILO_TARGET_WIDTH STREQUAL "i686" OR NOT QUILO_WOW64_PARTNER_DIR)
  return()
endif()
if(NOT TARGET quilo_host_tools)
  message(FATAL_ERROR "The WoW64 set needs the packager of the host tools")
endif()

set(QUILO_WOW64_RUNTIME_STANDIN ${QUILO_WOW64_PARTNER_DIR}/standins/runtime_standin.exe)
set(QUILO_WOW64_LAUNCH_INSTALL ${CMAKE_BINARY_DIR}/standins/launch_install_wow64)

add_test(NAME wow64_launch_install_pack
  COMMAND ${QUILO_PACKAGER} --runtime ${QUILO_WOW64_RUNTIME_STANDIN}
          --bridge-dir ${QUILO_REFERENCE_BRIDGE_DIR} --output ${QUILO_WOW64_LAUNCH_INSTALL} --force)
set_tests_properties(wow64_launch_install_pack PROPERTIES
  FIXTURES_SETUP launch_install_wow64 LABELS wow64)

set(QUILO_WOW64_ENVIRONMENT
  QUILO_WINE_ARCH=win64
  QUILO_RUNTIME_STANDIN=${QUILO_WOW64_RUNTIME_STANDIN}
  QUILO_LAUNCH_INSTALL=${QUILO_WOW64_LAUNCH_INSTALL})

add_executable(wow64_scenarios ${CMAKE_CURRENT_LIST_DIR}/wow64_scenarios.cpp)
target_link_libraries(wow64_scenarios PRIVATE quilo_uia gtest_main)
target_link_options(wow64_scenarios PRIVATE -mconsole)
add_dependencies(wow64_scenarios ${QUILO_LAUNCHER_NAME} ${QUILO_STANDIN_TARGETS})

# Start-up, prerequisites (the .NET key in both views), launch with the job and
# each exit code, the update hand-off and online support; the last-resort
# guards and the support trace, so that the 32-bit crash dump is written under
# WoW64 as most users' launchers would write it.
foreach(area wow64_scenarios startup_scenarios prerequisites_scenarios launch_scenarios update_scenarios
             commands_scenarios guard_scenarios trace_scenarios)
  set(name ${area})
  if(NOT area STREQUAL "wow64_scenarios")
    set(name wow64_${area})
  endif()
  quilo_add_wine_test(${name} ${area}
    FIXTURES "${QUILO_SCENARIO_FIXTURES};launch_install_wow64"
    ENVIRONMENT "${QUILO_WOW64_ENVIRONMENT}"
    LABELS wow64)
endforeach()
