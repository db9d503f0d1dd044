# The updater's stand-in: records that it was started and with what.
add_executable(updater_standin WIN32 ${CMAKE_CURRENT_LIST_DIR}/updater_standin.cpp)
target_link_options(updater_standin PRIVATE -municode)
set_target_properties(updater_standin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins)
list(APPEND QUILO_STANDIN_TARGETS updater_standin)
