# A short run of every fuzzer on its seed corpus, as part of the suite. Longer
# runs: scripts/fuzz.sh. The seeds are copied to the build tree first, so the
# run never writes into the repository.
if(NOT TARGET quilo_fuzzers)
  return()
endif()

set(QUILO_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzzer runs inside ctest")
file(GLOB QUILO_FUZZ_CORPORA LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/fuzz/corpus/*)
foreach(corpus ${QUILO_FUZZ_CORPORA})
  if(IS_DIRECTORY ${corpus})
    get_filename_component(name ${corpus} NAME)
    add_test(NAME fuzz_${name}
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh --build-dir ${CMAKE_BINARY_DIR} --seconds ${QUILO_FUZZ_SECONDS} ${name})
    set_tests_properties(fuzz_${name} PROPERTIES TIMEOUT 120)
  endif()
endforeach()
