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

    if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT TARGET velmora_wine_prefix)
        # Test programs run under Wine (see the toolchain file). The prefix is made by a build step of
        # its own, before any test discovery, so no discovery waits out its timeout on it.
        add_custom_command(OUTPUT ${VELMORA_WINE_PREFIX}/.velmora-ready
            COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --start-server
            COMMENT "Creating the Wine prefix ${VELMORA_WINE_PREFIX}")
        add_custom_target(velmora_wine_prefix DEPENDS ${VELMORA_WINE_PREFIX}/.velmora-ready)
        # One persistent Wine server for a whole ctest run, so that a test costs a process start, not a
        # server start. Every test that runs a Windows program requires the fixture.
        add_test(NAME WineServerStart COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --start-server)
        add_test(NAME WineServerStop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop-server)
        set_tests_properties(WineServerStart PROPERTIES FIXTURES_SETUP velmora_wine)
        set_tests_properties(WineServerStop PROPERTIES FIXTURES_CLEANUP velmora_wine)
    endif()
endif()
if(VELMORA_BUILD_BENCHMARKS)
    find_package(benchmark REQUIRED)
endif()

# velmora_add_test(NAME SOURCES... LIBS ...): one GoogleTest binary, its cases registered with ctest.
function(velmora_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    if(TARGET velmora_wine_prefix)
        add_dependencies(${name} velmora_wine_prefix)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES FIXTURES_REQUIRED velmora_wine)
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
