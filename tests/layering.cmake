# The folders' include rule, checked on the source tree (once, with the host tests).
if(QUILO_HOST_TESTS)
  add_test(NAME include_layers
           COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_includes.cmake)
  # The check itself: it must fail on a tree with one upward include, and on
  # a tree where it finds nothing to read.
  add_test(NAME include_layers_catches_an_upward_include
           COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}/layering/upward_include
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_includes.cmake)
  set_tests_properties(include_layers_catches_an_upward_include PROPERTIES
    PASS_REGULAR_EXPRESSION "Includes against the folders' layers:[\r\n ]+util/Paths.h includes launch/RuntimeLaunch.h[\r\n]+$")
  add_test(NAME include_layers_refuses_an_empty_tree
           COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}/layering/no_such_tree
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_includes.cmake)
  set_tests_properties(include_layers_refuses_an_empty_tree PROPERTIES
    PASS_REGULAR_EXPRESSION "read no file of these folders")
endif()
