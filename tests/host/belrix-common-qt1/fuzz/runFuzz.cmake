# Runs the fuzz target for a bounded time over the seed corpus. New inputs go to a scratch
# folder that starts empty on every run; a failing input is kept in the artifacts folder.
file(REMOVE_RECURSE "${WORK_DIR}/corpus")
file(MAKE_DIRECTORY "${WORK_DIR}/corpus" "${WORK_DIR}/artifacts")
execute_process(
    COMMAND "${FUZZER}" -max_total_time=20 -runs=2000000 -max_len=4096 -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 "-artifact_prefix=${WORK_DIR}/artifacts/" "${WORK_DIR}/corpus" "${SEED_DIR}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The fuzzer failed (exit ${result}); the input is in ${WORK_DIR}/artifacts")
endif()
