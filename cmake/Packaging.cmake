# Release packages. Linux: the Debian package, built by CPack from the install rules (`cpack` in the build
# folder). Windows: the installer, built with every build of the DLL so that the Windows lane can test it
# under Wine. scripts/package.sh makes them, and the zip, into dist/.
set(VELMORA_VENDOR Trevanor)
set(VELMORA_SUMMARY "one-knob DJ filter, a VST 2.4 and LV2 plug-in")

if(WIN32)
    find_program(VELMORA_MAKENSIS makensis REQUIRED)
    set(VELMORA_INSTALLER ${CMAKE_BINARY_DIR}/Velmora-${PROJECT_VERSION}-setup-x64.exe)
    set(velmora_nsis_script ${PROJECT_SOURCE_DIR}/packaging/windows/velmora.nsi)
    set(velmora_nsis_inputs ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES
        ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt)
    add_custom_command(OUTPUT ${VELMORA_INSTALLER}
        COMMAND ${VELMORA_MAKENSIS} -V2 -NOCD
                -DVERSION=${PROJECT_VERSION} -DVENDOR=${VELMORA_VENDOR} -DSUMMARY=${VELMORA_SUMMARY}
                -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DDLL=$<TARGET_FILE:Velmora> -DOUTFILE=${VELMORA_INSTALLER}
                ${velmora_nsis_script}
        DEPENDS Velmora ${velmora_nsis_script} ${velmora_nsis_inputs}
        COMMENT "Building the installer ${VELMORA_INSTALLER}"
        VERBATIM)
    add_custom_target(velmora_installer ALL DEPENDS ${VELMORA_INSTALLER})
    if(VELMORA_BUILD_TESTS)
        add_subdirectory(packaging/windows/tests)
    endif()
    return()
endif()

set(VELMORA_MAINTAINER "${VELMORA_VENDOR} <velmora@trevanor.example>")
include(${PROJECT_SOURCE_DIR}/packaging/DebianCopyright.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR ${VELMORA_VENDOR})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELMORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from the binaries' needs (dpkg-shlibdeps), so it follows what they link; and no maintainer
# scripts. CPack's own dpkg-shlibdeps step (CPACK_DEBIAN_PACKAGE_SHLIBDEPS) also writes a postinst and a
# postrm that call ldconfig for any shared object below /usr/lib, which takes in the plug-in in
# /usr/lib/vst: useless there (ldconfig does not read that folder), a lintian warning, and a postrm
# leaves the package half-removed ("rc") after apt remove. CPack has no setting against it, so that step
# stays off and packaging/DebianDepends.cmake runs dpkg-shlibdeps over the staged files instead.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/DebianDepends.cmake)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${VELMORA_SUMMARY}
Velmora is a stereo DJ filter with one main knob: left of centre it
sweeps a low-pass filter, right of centre a high-pass filter, and at the
centre the audio passes unchanged. Two small knobs set the filter's
drive and resonance.
.
This package holds the plug-in for Linux VST 2.4 hosts, installed in
/usr/lib/vst; the same filter as an LV2 plug-in, in /usr/lib/lv2, for
LV2 hosts and DJ software that loads LV2 effects; and velmora-render, an
offline VST 2.4 host that runs it, or any other VST 2.4 plug-in, over
audio files.")
include(CPack)
