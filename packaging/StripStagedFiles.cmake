# Run by cpack on the staged files, before it makes the package. The install
# step strips only the symbols; a Debian build also drops the .comment and
# .note sections, which hold nothing the program needs.
if(NOT CPACK_STRIP_FILES OR NOT CPACK_TARNEL_STRIP)
    return()
endif()
file(GLOB _programs "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*")
foreach(program IN LISTS _programs)
    execute_process(COMMAND "${CPACK_TARNEL_STRIP}" --remove-section=.comment --remove-section=.note "${program}"
                    RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "Could not strip ${program}")
    endif()
endforeach()
