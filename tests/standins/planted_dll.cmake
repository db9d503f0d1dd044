# A library planted in the current directory or on PATH under the name of the
# test bridge's missing dependency (see planted_dll.cpp).
add_library(planted_dll SHARED ${CMAKE_CURRENT_LIST_DIR}/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES
  PREFIX "" OUTPUT_NAME QuiloAbsentRuntime
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/standins/planted
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/planted_dll)
list(APPEND QUILO_STANDIN_TARGETS planted_dll)
