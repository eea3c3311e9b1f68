# Fails if any C++ source of the project differs from the one clang-format style (.clang-format).
# Usage: cmake -DSOURCE_DIR=path -DCLANG_FORMAT=clang-format -P CheckFormat.cmake
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/host/*.cpp ${SOURCE_DIR}/host/*.h
    ${SOURCE_DIR}/effect/*.cpp ${SOURCE_DIR}/effect/*.h
    ${SOURCE_DIR}/lv2/*.cpp ${SOURCE_DIR}/lv2/*.h
    ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/tools/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format: the files above are not formatted; run clang-format -i on them")
endif()
