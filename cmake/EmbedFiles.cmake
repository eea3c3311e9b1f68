# Writes a C++ source holding files' bytes, run at build time (cmake -P):
#   -DOUTPUT=file.cpp -DFUNCTION=name -DFILES=a|b
#   with -DIDS=128|129: `const EmbeddedResourceTable& name()` over the files with those IDs;
#   without: `const unsigned char* name()` answering the one file's bytes.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" FILES "${FILES}")
string(REPLACE "|" ";" IDS "${IDS}")

set(arrays "")
set(entries "")
list(LENGTH FILES count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
    list(GET FILES ${i} file)
    file(READ ${file} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND arrays "const unsigned char data${i}[] = {${bytes}};\n")
    if(IDS)
        list(GET IDS ${i} id)
        string(APPEND entries "    {${id}, data${i}, sizeof(data${i})},\n")
    endif()
endforeach()

set(text "// Generated at build time by cmake/EmbedFiles.cmake from ${FILES}. Do not edit.\n")
if(IDS)
    string(APPEND text "#include \"EmbeddedResources.h\"\n\nnamespace {\n${arrays}\n"
        "const EmbeddedResource entries[] = {\n${entries}};\n"
        "const EmbeddedResourceTable table{entries, sizeof(entries) / sizeof(entries[0])};\n} // namespace\n\n"
        "const EmbeddedResourceTable& ${FUNCTION}() {\n    return table;\n}\n")
else()
    string(APPEND text "namespace {\n${arrays}} // namespace\n\n"
        "const unsigned char* ${FUNCTION}() {\n    return data0;\n}\n")
endif()
file(WRITE ${OUTPUT}.tmp "${text}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
