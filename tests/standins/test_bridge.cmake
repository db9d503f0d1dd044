# The scriptable test bridge (see test_bridge.cpp) and its broken variants, each
# a CsVarnApi.dll in its own folder under standins/:
#   test_bridge/                     CsVarnApi.dll + CsVarnLab.dll, scripted by test-bridge.ini
#   test_bridge_no_export/           CsVarnApi.dll without "CreateWrapper"
#   test_bridge_null_object/         CsVarnApi.dll whose "CreateWrapper" returns null
#   test_bridge_missing_dependency/  CsVarnApi.dll importing QuiloAbsentRuntime.dll, which is
#                                    never copied anywhere: loading it fails with code 126
set(QUILO_TEST_BRIDGE_DIR ${CMAKE_BINARY_DIR}/standins/test_bridge)

function(quilo_test_bridge_library target folder output)
  add_library(${target} SHARED ${ARGN})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${output}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins/${folder}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${target})
  list(APPEND QUILO_STANDIN_TARGETS ${target})
  set(QUILO_STANDIN_TARGETS ${QUILO_STANDIN_TARGETS} PARENT_SCOPE)
endfunction()

quilo_test_bridge_library(test_bridge test_bridge CsVarnApi ${CMAKE_CURRENT_LIST_DIR}/test_bridge.cpp)
quilo_test_bridge_library(test_bridge_lab test_bridge CsVarnLab ${CMAKE_CURRENT_LIST_DIR}/test_bridge_lab.cpp)

quilo_test_bridge_library(test_bridge_no_export test_bridge_no_export CsVarnApi
  ${CMAKE_CURRENT_LIST_DIR}/test_bridge.cpp)
target_compile_definitions(test_bridge_no_export PRIVATE QUILO_TEST_BRIDGE_NO_EXPORT)

quilo_test_bridge_library(test_bridge_null_object test_bridge_null_object CsVarnApi
  ${CMAKE_CURRENT_LIST_DIR}/test_bridge.cpp)
target_compile_definitions(test_bridge_null_object PRIVATE QUILO_TEST_BRIDGE_NULL_OBJECT)

# The absent dependency is built only for its import library.
quilo_test_bridge_library(test_bridge_absent_runtime test_bridge_absent_runtime_unused QuiloAbsentRuntime
  ${CMAKE_CURRENT_LIST_DIR}/test_bridge_lab.cpp)
quilo_test_bridge_library(test_bridge_missing_dependency test_bridge_missing_dependency CsVarnApi
  ${CMAKE_CURRENT_LIST_DIR}/test_bridge.cpp)
target_link_libraries(test_bridge_missing_dependency PRIVATE test_bridge_absent_runtime)
# Make sure the import is kept even though nothing is called through it.
target_compile_definitions(test_bridge_missing_dependency PRIVATE QUILO_TEST_BRIDGE_NEEDS_ABSENT_RUNTIME)

# The scripted bridge built for the other width, into test_bridge_other_width/:
# a 32-bit library in the 64-bit launcher, or a 64-bit one in the 32-bit
# launcher. Windows refuses to load either (code 193) and runs none of its
# code, so the library is usable on every machine, even one that cannot
# execute 32-bit code.
if(QUILO_TARGET_WIDTH STREQUAL "x86_64")
  set(quilo_other_width_compiler i686-w64-mingw32-g++-posix)
else()
  set(quilo_other_width_compiler x86_64-w64-mingw32-g++-posix)
endif()
set(quilo_other_width_bridge ${CMAKE_BINARY_DIR}/standins/test_bridge_other_width/CsVarnApi.dll)
add_custom_command(
  OUTPUT ${quilo_other_width_bridge}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/standins/test_bridge_other_width
  COMMAND ${quilo_other_width_compiler} -std=c++17 -O2 -shared -static -static-libgcc -static-libstdc++
          -DUNICODE -D_UNICODE -DNOMINMAX -I${CMAKE_SOURCE_DIR}
          ${CMAKE_CURRENT_LIST_DIR}/test_bridge.cpp -o ${quilo_other_width_bridge}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/test_bridge.cpp ${CMAKE_SOURCE_DIR}/bridge/IBridge.h
  COMMENT "Building the test bridge for the other width"
  VERBATIM)
add_custom_target(test_bridge_other_width DEPENDS ${quilo_other_width_bridge})
list(APPEND QUILO_STANDIN_TARGETS test_bridge_other_width)
