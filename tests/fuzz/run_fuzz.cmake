# Fuzzes for a bounded time over a fresh copy of the seeds, so the inputs the
# fuzzer adds stay in the build tree. Fails on any crash or broken check; the
# reproducer is then left in WORK.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
file(COPY ${SEEDS}/ DESTINATION ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} ${WORK}/corpus
    -max_total_time=${SECONDS} -max_len=4096 -timeout=10
    -print_final_stats=1 -artifact_prefix=${WORK}/
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the fuzzer failed (${rc}); reproducer in ${WORK}")
endif()
