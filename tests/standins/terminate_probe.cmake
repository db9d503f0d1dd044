# A program with the launcher's last-resort handlers and nothing else, which
# calls std::terminate: the route by which a C++ exception nobody catches ends
# the launcher, run on purpose.
add_executable(terminate_probe WIN32 ${CMAKE_CURRENT_LIST_DIR}/terminate_probe.cpp
  ${CMAKE_SOURCE_DIR}/app/TerminateHandler.cpp)
target_link_libraries(terminate_probe PRIVATE quilo_core)
target_link_options(terminate_probe PRIVATE -municode)
set_target_properties(terminate_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins)
list(APPEND QUILO_STANDIN_TARGETS terminate_probe)
