# Fails unless each Turtle file parses without a message and lv2_validate finds no error in them.
# Usage: cmake -DVALIDATE=lv2_validate -DSORDI=sordi -DFILES=a.ttl,b.ttl -P CheckDescriptions.cmake
string(REPLACE "," ";" files "${FILES}")
foreach(file IN LISTS files)
    execute_process(COMMAND ${SORDI} ${file} OUTPUT_QUIET ERROR_VARIABLE errors RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT errors STREQUAL "")
        message(FATAL_ERROR "${file} does not parse:\n${errors}")
    endif()
endforeach()
execute_process(COMMAND ${VALIDATE} ${files} OUTPUT_VARIABLE report ERROR_VARIABLE report RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT report MATCHES "Found 0 errors")
    message(FATAL_ERROR "lv2_validate:\n${report}")
endif()
message(STATUS "valid: ${files}")
