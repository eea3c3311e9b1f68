# Runs velmora-artwork into OUTDIR and fails unless each picture equals the committed one in RESOURCES.
# Usage: cmake -DPROGRAM=velmora-artwork -DOUTDIR=dir -DRESOURCES=dir -P CheckArtwork.cmake
file(REMOVE_RECURSE ${OUTDIR})
execute_process(COMMAND ${PROGRAM} ${OUTDIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "velmora-artwork failed (${result})")
endif()
# Every picture the program draws, and every picture committed, on both sides and the same.
file(GLOB drawn RELATIVE ${OUTDIR} ${OUTDIR}/*.png)
file(GLOB committed RELATIVE ${RESOURCES} ${RESOURCES}/*.png)
if(NOT drawn)
    message(FATAL_ERROR "velmora-artwork drew nothing into ${OUTDIR}")
endif()
set(stale "")
foreach(picture IN LISTS drawn committed)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTDIR}/${picture} ${RESOURCES}/${picture}
        RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        list(APPEND stale ${picture})
    endif()
endforeach()
list(REMOVE_DUPLICATES stale)
if(stale)
    message(FATAL_ERROR "resources/ differs from a fresh velmora-artwork run in: ${stale}\n"
        "Regenerate with: build/release/velmora-artwork resources")
endif()

# An output folder that cannot be made is reported with status 1, not a crash.
execute_process(COMMAND ${PROGRAM} ${OUTDIR}/background.png/pictures RESULT_VARIABLE result ERROR_VARIABLE message)
if(NOT result EQUAL 1 OR NOT message MATCHES "cannot make")
    message(FATAL_ERROR "a file as OUTDIR gave status '${result}' and '${message}'")
endif()
