# The main application's stand-in (see runtime_standin.cpp for what it records).
add_executable(runtime_standin WIN32 ${CMAKE_CURRENT_LIST_DIR}/runtime_standin.cpp)
target_link_options(runtime_standin PRIVATE -municode)
target_link_libraries(runtime_standin PRIVATE shell32)
set_target_properties(runtime_standin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins)
list(APPEND QUILO_STANDIN_TARGETS runtime_standin)
