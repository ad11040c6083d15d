# Runs a fuzz target for SECONDS over its seed corpus. New inputs go to WORK_DIR/corpus, which
# starts empty on every run unless KEEP_CORPUS is set (a long run goes on from the last one);
# a failing input is kept in WORK_DIR/artifacts.
if(NOT KEEP_CORPUS)
    file(REMOVE_RECURSE "${WORK_DIR}/corpus")
endif()
file(MAKE_DIRECTORY "${WORK_DIR}/corpus" "${WORK_DIR}/artifacts")
execute_process(
    COMMAND "${FUZZER}" -max_total_time=${SECONDS} -max_len=4096 -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 "-artifact_prefix=${WORK_DIR}/artifacts/" "${WORK_DIR}/corpus" "${SEED_DIR}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The fuzzer failed (exit ${result}); the input is in ${WORK_DIR}/artifacts")
endif()
