# CPack pre-build script for the Debian package (CPACK_PRE_BUILD_SCRIPTS): the Depends field from what
# the staged binaries link, by dpkg-shlibdeps, as CPACK_DEBIAN_PACKAGE_SHLIBDEPS would compute it. That
# setting stays off because it also makes CPack add maintainer scripts (see cmake/Packaging.cmake).
find_program(velmora_shlibdeps dpkg-shlibdeps REQUIRED)

file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
set(binaries "")
foreach(file IN LISTS staged)
    file(READ "${file}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46") # "\x7fELF"
        list(APPEND binaries "${file}")
    endif()
endforeach()
if(NOT binaries)
    message(FATAL_ERROR "DebianDepends: no binaries in ${CPACK_TEMPORARY_DIRECTORY}")
endif()

# dpkg-shlibdeps wants a debian/control in its working folder; an empty one will do.
set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(REMOVE_RECURSE "${work}")
file(WRITE "${work}/debian/control" "")
execute_process(COMMAND ${velmora_shlibdeps} -O ${binaries}
    WORKING_DIRECTORY "${work}"
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    RESULT_VARIABLE failed
    OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE "${work}")
if(failed OR NOT output MATCHES "^shlibs:Depends=(.+)$")
    message(FATAL_ERROR "DebianDepends: dpkg-shlibdeps failed: ${errors}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
