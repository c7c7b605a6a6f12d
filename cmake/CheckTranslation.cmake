# Compares a translation file with the texts of its sources, or brings it up to date.
#
#   cmake -DLUPDATE=<lupdate> -DTS=<file.ts> -DROOT=<source root> -DSOURCES=<folder|folder...>
#         -DWORK=<scratch folder> [-DUPDATE=ON] -P CheckTranslation.cmake
#
# The files are kept as lupdate writes them, without obsolete entries and without source
# locations, so that the comparison is exact and a diff of an update shows only texts.
foreach(variable LUPDATE TS ROOT SOURCES WORK)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "CheckTranslation.cmake: ${variable} is not set")
    endif()
endforeach()

string(REPLACE "|" ";" SOURCES "${SOURCES}")
set(options -silent -no-obsolete -locations none -I ${ROOT})

if(UPDATE)
    execute_process(COMMAND ${LUPDATE} ${options} ${SOURCES} -ts ${TS} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "lupdate failed on ${TS}")
    endif()
    file(READ ${TS} updated)
    string(REGEX MATCHALL "type=\"unfinished\"" unfinished "${updated}")
    list(LENGTH unfinished count)
    message(STATUS "${TS}: up to date, ${count} text(s) waiting for a translation")
    return()
endif()

get_filename_component(name ${TS} NAME)
file(MAKE_DIRECTORY ${WORK})
set(copy ${WORK}/${name})
configure_file(${TS} ${copy} COPYONLY)
execute_process(COMMAND ${LUPDATE} ${options} ${SOURCES} -ts ${copy} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed on a copy of ${TS}")
endif()

file(READ ${TS} committed)
file(READ ${copy} expected)
if(NOT committed STREQUAL expected)
    execute_process(COMMAND diff -u ${TS} ${copy})
    message(FATAL_ERROR
        "${TS} does not match the texts of its sources (the lines with + are what lupdate would "
        "write). Run: cmake --build <build dir> --target update_translations, then translate "
        "the entries marked type=\"unfinished\".")
endif()

string(FIND "${committed}" "type=\"unfinished\"" unfinished)
if(NOT unfinished EQUAL -1)
    message(FATAL_ERROR "${TS} has texts without a translation (type=\"unfinished\").")
endif()
message(STATUS "${TS}: every text of its sources is translated")
