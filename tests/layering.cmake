# The folders' include rule, checked on the source tree (once, with the host tests).
if(QUILO_HOST_TESTS)
  add_test(NAME include_layers
           COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_includes.cmake)
endif()
