# What `cmake --install` puts where, on Linux: the plug-in in lib/vst (where Debian's VST 2.4 plug-ins
# live and hosts look), the renderer in bin with its manual page, and the licences as the copyright file
# the Debian package needs. The Windows DLL installs through its installer or by hand (Packaging.cmake).
if(WIN32)
    return()
endif()

set(VELMORA_DOC_DIR share/doc/velmora)

install(TARGETS Velmora LIBRARY DESTINATION lib/vst)
install(TARGETS velmora-render RUNTIME DESTINATION bin)

# Compressed as Debian wants them, and without a time stamp, so that two builds give the same bytes.
configure_file(${PROJECT_SOURCE_DIR}/packaging/velmora-render.1.in ${CMAKE_BINARY_DIR}/velmora-render.1 @ONLY)
set(velmora_man_page ${CMAKE_BINARY_DIR}/velmora-render.1.gz)
set(velmora_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${velmora_man_page}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${CMAKE_BINARY_DIR}/velmora-render.1 ${velmora_man_page}
    DEPENDS ${CMAKE_BINARY_DIR}/velmora-render.1
    VERBATIM)
add_custom_command(OUTPUT ${velmora_changelog}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/packaging/changelog ${velmora_changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(velmora_install_docs ALL DEPENDS ${velmora_man_page} ${velmora_changelog})

# The copyright file: our licence, then the third-party notices.
set(velmora_copyright ${CMAKE_BINARY_DIR}/copyright)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE velmora_license_text)
file(READ ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES velmora_notices_text)
file(WRITE ${velmora_copyright} "${velmora_license_text}\n\n${velmora_notices_text}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES)

install(FILES ${velmora_man_page} DESTINATION share/man/man1)
install(FILES ${velmora_copyright} ${velmora_changelog} DESTINATION ${VELMORA_DOC_DIR})
