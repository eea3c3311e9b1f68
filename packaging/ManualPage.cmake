# Writes the manual page from its template at build time, with the project's version and the date of
# the commit it is built from, so that a package never carries the day it was built:
#   SOURCE_DATE_EPOCH if set (reproducible builds set it; scripts/package.sh sets the commit's),
#   else the HEAD commit's date when SOURCE_DIR is a git checkout,
#   else the date of the newest entry of packaging/changelog (a source tarball).
# Dates are UTC. Usage: cmake -DINPUT=... -DOUTPUT=... -DVERSION=... -DSOURCE_DIR=... -P ManualPage.cmake
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
    find_program(velmora_git git)
    if(velmora_git)
        execute_process(COMMAND ${velmora_git} log -1 --format=%ct
            WORKING_DIRECTORY ${SOURCE_DIR}
            OUTPUT_VARIABLE epoch
            ERROR_QUIET
            RESULT_VARIABLE failed
            OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(failed)
            set(epoch "")
        endif()
    endif()
endif()

if(NOT epoch STREQUAL "")
    # string(TIMESTAMP) gives SOURCE_DATE_EPOCH's time when it is set.
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    string(TIMESTAMP VELMORA_DATE "%Y-%m-%d" UTC)
else()
    file(STRINGS ${SOURCE_DIR}/packaging/changelog trailer REGEX "^ -- .*  [A-Z][a-z][a-z], " LIMIT_COUNT 1)
    if(NOT trailer MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
        message(FATAL_ERROR "ManualPage: no date in the first entry of packaging/changelog")
    endif()
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
    if(month LESS 10)
        set(month 0${month})
    endif()
    set(VELMORA_DATE "${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}")
endif()

set(PROJECT_VERSION ${VERSION})
configure_file(${INPUT} ${OUTPUT} @ONLY)
