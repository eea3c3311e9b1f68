# Test framework set-up shared by every tests/ folder.
if(VELMORA_BUILD_TESTS)
    enable_testing()
    # Windows programs under Wine see the build machine's files through drive Z: (Wine maps it to the
    # Unix root): a path given to a test program begins with this.
    if(CMAKE_CROSSCOMPILING)
        set(VELMORA_TEST_ROOT "Z:")
    else()
        set(VELMORA_TEST_ROOT "")
    endif()
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

# Tests of real windows: one private X server for a whole ctest run, started and stopped by its process
# id (cmake/xvfb.sh), its display number in a file that the tests (and Wine, see wine-run.sh) read.
# Their windows and the pointer share one screen, so they run one at a time. Under Wine they need both
# servers: one fixture name covers both, since a test's properties cannot carry a list through test
# discovery.
if(VELMORA_BUILD_TESTS)
    set(VELMORA_XVFB_DIR ${CMAKE_BINARY_DIR}/xvfb)
    set(VELMORA_WINDOW_FIXTURE xvfb)
    if(TARGET velmora_wine_prefix)
        set(VELMORA_WINDOW_FIXTURE velmora_wine_windows)
        set_property(TEST WineServerStart APPEND PROPERTY FIXTURES_SETUP ${VELMORA_WINDOW_FIXTURE})
        set_property(TEST WineServerStop APPEND PROPERTY FIXTURES_CLEANUP ${VELMORA_WINDOW_FIXTURE})
    endif()
    add_test(NAME XvfbStart COMMAND ${PROJECT_SOURCE_DIR}/cmake/xvfb.sh start ${VELMORA_XVFB_DIR})
    add_test(NAME XvfbStop COMMAND ${PROJECT_SOURCE_DIR}/cmake/xvfb.sh stop ${VELMORA_XVFB_DIR})
    set_tests_properties(XvfbStart PROPERTIES FIXTURES_SETUP ${VELMORA_WINDOW_FIXTURE})
    set_tests_properties(XvfbStop PROPERTIES FIXTURES_CLEANUP ${VELMORA_WINDOW_FIXTURE})
endif()

# velmora_add_test(NAME [WINDOWS] SOURCES... LIBS ...): one GoogleTest binary, its cases registered with
# ctest; WINDOWS: they open real windows, on the private X server.
function(velmora_add_test name)
    cmake_parse_arguments(ARG "WINDOWS" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    set(properties "")
    if(TARGET velmora_wine_prefix)
        add_dependencies(${name} velmora_wine_prefix)
    endif()
    if(ARG_WINDOWS)
        list(APPEND properties FIXTURES_REQUIRED ${VELMORA_WINDOW_FIXTURE} RESOURCE_LOCK xserver
             ENVIRONMENT VELMORA_X_DISPLAY_FILE=${VELMORA_XVFB_DIR}/display LABELS window)
    elseif(TARGET velmora_wine_prefix)
        list(APPEND properties FIXTURES_REQUIRED velmora_wine)
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()
