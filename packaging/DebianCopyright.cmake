# The Debian package's copyright file, in Debian's machine-readable format (packaging/copyright.in): our
# licence, then the works of THIRD-PARTY-NOTICES that Velmora.so contains, each licence text taken from
# there. Included by cmake/Packaging.cmake, which names the vendor and maintainer.
set(velmora_notices_rule "==============================================================================")
file(READ ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES velmora_notices)

# `text` as the continuation lines of a copyright field: each line indented, an empty one as " .".
function(velmora_copyright_field text out)
    string(STRIP "${text}" text)
    string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
    string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
    string(REPLACE "\n" "\n " text "${text}")
    set(${out} " ${text}" PARENT_SCOPE)
endfunction()

# The body of the section of THIRD-PARTY-NOTICES under `title`.
function(velmora_notice title out)
    string(FIND "${velmora_notices}" "${velmora_notices_rule}\n${title}\n${velmora_notices_rule}\n" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "THIRD-PARTY-NOTICES has no section '${title}'")
    endif()
    string(LENGTH "${velmora_notices_rule}\n${title}\n${velmora_notices_rule}\n" header)
    math(EXPR start "${start} + ${header}")
    string(SUBSTRING "${velmora_notices}" ${start} -1 body)
    string(FIND "${body}" "\n${velmora_notices_rule}" end)
    string(SUBSTRING "${body}" 0 ${end} body)
    velmora_copyright_field("${body}" field)
    set(${out} "${field}" PARENT_SCOPE)
endfunction()

file(READ ${PROJECT_SOURCE_DIR}/LICENSE velmora_license)
velmora_copyright_field("${velmora_license}" VELMORA_LICENSE_TEXT)
velmora_notice("stb_image.h and stb_truetype.h" VELMORA_STB_TEXT)
velmora_notice("Liberation Sans Regular" VELMORA_FONT_TEXT)
set(velmora_copyright ${CMAKE_BINARY_DIR}/copyright)
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${velmora_copyright} @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES)

install(FILES ${velmora_copyright} DESTINATION ${VELMORA_DOC_DIR})
