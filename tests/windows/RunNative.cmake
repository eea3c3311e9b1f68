# Runs a program of the native build, or says how to make it.
# Usage: cmake -DNATIVE_BUILD_DIR=dir -P RunNative.cmake PROGRAM [ARGS...]
set(command "")
set(collect FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
    if(collect)
        list(APPEND command "${CMAKE_ARGV${i}}")
    elseif(CMAKE_ARGV${i} MATCHES "RunNative\\.cmake$")
        set(collect TRUE)
    endif()
endforeach()
list(GET command 0 program)
if(NOT EXISTS "${program}")
    message(FATAL_ERROR "${program} is missing: the comparison needs the native build in ${NATIVE_BUILD_DIR}. "
        "Build it first: cmake --preset release && cmake --build --preset release "
        "(scripts/test-windows.sh does this).")
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${program} failed: ${result}")
endif()
