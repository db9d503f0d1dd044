# Fuzzers for the configuration reader, the update marker test, the runtime's
# command line and the rebuild-failure classification.
quilo_add_fuzzer(config_file ${QUILO_SOURCE_DIR}/launch/ConfigFileParser.cpp)
quilo_add_fuzzer(update_marker ${QUILO_SOURCE_DIR}/util/LengthPrefixedText.cpp
  ${QUILO_SOURCE_DIR}/launch/UpdateMarker.cpp)
quilo_add_fuzzer(command_line ${QUILO_SOURCE_DIR}/launch/RuntimeArguments.cpp)
quilo_add_fuzzer(failure_classification ${QUILO_SOURCE_DIR}/launch/FailureClassification.cpp)
