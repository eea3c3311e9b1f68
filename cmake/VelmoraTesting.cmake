# Test framework set-up shared by every tests/ folder.
if(VELMORA_BUILD_TESTS)
    enable_testing()
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()
if(VELMORA_BUILD_BENCHMARKS)
    find_package(benchmark REQUIRED)
endif()

# velmora_add_test(NAME SOURCES... LIBS ...): one GoogleTest binary, its cases registered with ctest.
function(velmora_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
