# Test framework set-up shared by every tests/ folder.
if(VELMORA_BUILD_TESTS)
    enable_testing()
    if(CMAKE_CROSSCOMPILING)
        # No GoogleTest package for the target: build it from Debian's sources, only what the tests use,
        # without our warning flags (they are for our code).
        if(NOT TARGET GTest::gtest)
            get_directory_property(velmora_saved_options COMPILE_OPTIONS)
            set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
            set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
            add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
            set_directory_properties(PROPERTIES COMPILE_OPTIONS "${velmora_saved_options}")
        endif()
    else()
        find_package(GTest REQUIRED)
    endif()
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
    if(CMAKE_CROSSCOMPILING)
        # Under Wine the cases share one persistent server (tests/windows).
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES FIXTURES_REQUIRED velmora_wine)
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
