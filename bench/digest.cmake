# The digest benchmark's Windows program (run by bench/digest.sh, not by ctest).
add_executable(digest_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/digest_bench.cpp)
target_link_libraries(digest_bench PRIVATE quilo_core psapi)
target_link_options(digest_bench PRIVATE -mconsole -municode)
set_target_properties(digest_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
