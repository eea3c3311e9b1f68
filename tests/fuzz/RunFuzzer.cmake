# Runs the host-actions fuzzer for a bounded time, starting from a scratch copy of the seed corpus so the
# repository is never written to. A fixed seed makes the CI run explore the same way each time; longer
# runs by hand (the fuzzer binary on a copy of the corpus) explore with fresh seeds. Fails when the fuzzer
# finds a crash, a sanitizer report or a broken property; the input that did it is left in WORK/artifacts.
# Usage: cmake -DFUZZER=path -DCORPUS=dir -DWORK=dir -DSECONDS=n -P RunFuzzer.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(GLOB seeds "${CORPUS}/*")
if(NOT seeds)
    message(FATAL_ERROR "no seed corpus in ${CORPUS}")
endif()
file(COPY ${seeds} DESTINATION "${WORK}/corpus")

execute_process(
    COMMAND "${FUZZER}" -seed=1 -max_total_time=${SECONDS} -print_final_stats=1 -max_len=4096 -timeout=30
            -rss_limit_mb=2048 -artifact_prefix=${WORK}/artifacts/ "${WORK}/corpus"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
file(WRITE "${WORK}/fuzzer.log" "${output}")

string(REGEX MATCH "stat::number_of_executed_units: *([0-9]+)" executed "${output}")
set(executions "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "stat::[a-z_]+: *[0-9]+" stats "${output}")
foreach(stat IN LISTS stats)
    message(STATUS "${stat}")
endforeach()

if(NOT result EQUAL 0)
    # The report is at the end of the log; the seeds' NEW lines before it are of no interest.
    string(LENGTH "${output}" length)
    if(length GREATER 12000)
        math(EXPR start "${length} - 12000")
        string(SUBSTRING "${output}" ${start} -1 output)
    endif()
    message("${output}")
    file(GLOB found "${WORK}/artifacts/*")
    message(FATAL_ERROR "fuzz_host_actions failed (exit ${result}) after ${executions} executions; input: ${found}\n"
                        "reproduce: ${FUZZER} <input>   (VELMORA_FUZZ_TRACE=1 prints the decoded actions)")
endif()
if(NOT executions)
    message(FATAL_ERROR "fuzz_host_actions ran no input: ${output}")
endif()
message(STATUS "fuzz_host_actions: ${executions} executions in ${SECONDS} s, no failure")
