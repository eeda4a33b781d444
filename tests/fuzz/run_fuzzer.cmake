# Runs a libFuzzer binary for a bounded time on a fresh copy of its seed corpus.
#   cmake -D FUZZER=<exe> -D SEEDS=<dir> -D WORK=<dir> -D SECONDS=<n> -P run_fuzzer.cmake
# A crash leaves its input in WORK as crash-<hash>, to replay with: <exe> <file>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} ${WORK}/corpus -max_total_time=${SECONDS} -timeout=20
          -artifact_prefix=${WORK}/ -print_final_stats=1
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the fuzzer stopped with ${result}; its input is in ${WORK}")
endif()
