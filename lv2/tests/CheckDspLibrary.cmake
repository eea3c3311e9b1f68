# Fails unless the LV2 DSP library exports exactly lv2_descriptor, needs only the C and C++ runtimes
# (and a sanitizer's), and contains none of the editor, the toolkit or a window system.
# Usage: cmake -DLIBRARY=path -DNM=nm -DREADELF=readelf -P CheckDspLibrary.cmake
function(run output)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed: ${ARGN}")
    endif()
    set(${output} "${text}" PARENT_SCOPE)
endfunction()

run(exported ${NM} -D --defined-only --format=just-symbols ${LIBRARY})
string(STRIP "${exported}" exported)
if(NOT exported STREQUAL "lv2_descriptor")
    message(FATAL_ERROR "exported symbols are '${exported}', expected lv2_descriptor alone")
endif()

run(dynamic ${READELF} --dynamic ${LIBRARY})
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]*\\]" needed "${dynamic}")
foreach(entry IN LISTS needed)
    if(NOT entry MATCHES "\\[(libstdc\\+\\+|libm|libgcc_s|libc|libasan|libubsan|libtsan)\\.so[.0-9]*\\]$")
        message(FATAL_ERROR "needs more than the runtimes: ${entry}")
    endif()
endforeach()

run(undefined ${NM} -D --undefined-only --format=just-symbols ${LIBRARY})
if(undefined MATCHES "(^|\n)(xcb_|X[A-Z])[^\n]*")
    message(FATAL_ERROR "uses the window system: ${CMAKE_MATCH_0}")
endif()

# The full symbol table of the unstripped build: it must hold the effect, and nothing drawn or windowed.
run(all ${NM} --demangle ${LIBRARY})
if(NOT all MATCHES "Corvel::processReplacing")
    message(FATAL_ERROR "no symbol table to check in ${LIBRARY}")
endif()
if(all MATCHES "[^\n]*(AEffGUIEditor|ADEditor|CorvelEdit|CFrame|CView|CBitmap|PictureStore|xcb_)[^\n]*")
    message(FATAL_ERROR "holds editor, toolkit or window code: ${CMAKE_MATCH_0}")
endif()
list(LENGTH needed count)
message(STATUS "exports lv2_descriptor; ${count} runtime libraries needed; no editor, toolkit or window code")
