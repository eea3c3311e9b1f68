# Fails if any C++ source of the project differs from the one clang-format style (.clang-format): every
# .cpp and .h in every folder, a new one included, except the build trees and outputs (.gitignore's
# build/, build-*/, out/ and dist/) and hidden folders.
# Usage: cmake -DSOURCE_DIR=path -DCLANG_FORMAT=clang-format -P CheckFormat.cmake
file(GLOB entries RELATIVE ${SOURCE_DIR} LIST_DIRECTORIES true ${SOURCE_DIR}/*)
set(sources "")
foreach(entry IN LISTS entries)
    if(entry MATCHES "^(build|build-.*|out|dist|\\..*)$")
        continue()
    endif()
    if(IS_DIRECTORY ${SOURCE_DIR}/${entry})
        file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${entry}/*.cpp ${SOURCE_DIR}/${entry}/*.h)
        list(APPEND sources ${found})
    elseif(entry MATCHES "\\.(cpp|h)$")
        list(APPEND sources ${entry})
    endif()
endforeach()
list(LENGTH sources count)
message(STATUS "clang-format: checking ${count} files")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format: the files above are not formatted; run clang-format -i on them")
endif()
