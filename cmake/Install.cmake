# What `cmake --install` puts where, on Linux: the plug-in in lib/vst (where Debian's VST 2.4 plug-ins
# live and hosts look), the renderer in bin with its manual page, and in the documentation folder a
# README, the changelog and (Packaging.cmake) the licences as the copyright file the Debian package
# needs. The Windows DLL installs through its installer or by hand (Packaging.cmake).
if(WIN32)
    return()
endif()

set(VELMORA_DOC_DIR share/doc/velmora)

install(TARGETS Velmora LIBRARY DESTINATION lib/vst)
install(TARGETS velmora-render RUNTIME DESTINATION bin)

# The manual page carries the commit's date (packaging/ManualPage.cmake), made again when HEAD moves.
set(velmora_man_source ${CMAKE_BINARY_DIR}/velmora-render.1)
set(velmora_man_inputs ${PROJECT_SOURCE_DIR}/packaging/velmora-render.1.in
    ${PROJECT_SOURCE_DIR}/packaging/ManualPage.cmake ${PROJECT_SOURCE_DIR}/packaging/changelog)
find_program(VELMORA_GIT git)
if(VELMORA_GIT)
    execute_process(COMMAND ${VELMORA_GIT} rev-parse --path-format=absolute --git-path logs/HEAD
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE velmora_head_log
        ERROR_QUIET
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(velmora_head_log AND EXISTS ${velmora_head_log})
        list(APPEND velmora_man_inputs ${velmora_head_log})
    endif()
endif()
add_custom_command(OUTPUT ${velmora_man_source}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/packaging/velmora-render.1.in
            -DOUTPUT=${velmora_man_source} -DVERSION=${PROJECT_VERSION} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -P ${PROJECT_SOURCE_DIR}/packaging/ManualPage.cmake
    DEPENDS ${velmora_man_inputs}
    VERBATIM)

# Compressed as Debian wants them, and without a time stamp, so that two builds give the same bytes.
set(velmora_man_page ${CMAKE_BINARY_DIR}/velmora-render.1.gz)
set(velmora_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${velmora_man_page}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${velmora_man_source} ${velmora_man_page}
    DEPENDS ${velmora_man_source}
    VERBATIM)
add_custom_command(OUTPUT ${velmora_changelog}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/packaging/changelog ${velmora_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(velmora_install_docs ALL DEPENDS ${velmora_man_page} ${velmora_changelog})

install(FILES ${velmora_man_page} DESTINATION share/man/man1)
install(FILES ${velmora_changelog} DESTINATION ${VELMORA_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/README.deb DESTINATION ${VELMORA_DOC_DIR} RENAME README)

# Exactly what the rules above, and those of the folders that add to VELMORA_PACKAGE_TARGETS, install:
# for a build of the packages alone (scripts/package.sh).
get_property(velmora_packaged GLOBAL PROPERTY VELMORA_PACKAGE_TARGETS)
add_custom_target(velmora_package_contents DEPENDS Velmora velmora-render velmora_install_docs ${velmora_packaged})
