# Where this file and the scripts it runs are.
set(QUX_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})

# qux_add_library(<name>
#     [SHARED|STATIC|MODULE]
#     SOURCES <files...>
#     [DEPENDS <targets...>]          linked PUBLIC
#     [PRIVATE_DEPENDS <targets...>]
#     [EXPORT_DEFINE <MACRO>]          defined while building the library itself
#     [INCLUDE_DIRS <dirs...>])        PUBLIC include dirs, default: the current source dir
#
# Every library of the project is declared through this so that they all read the same way:
# hidden visibility by default, C++17, position independent code.
function(qux_add_library name)
    cmake_parse_arguments(ARG "SHARED;STATIC;MODULE" "EXPORT_DEFINE"
                          "SOURCES;DEPENDS;PRIVATE_DEPENDS;INCLUDE_DIRS" ${ARGN})
    set(kind SHARED)
    if(ARG_STATIC)
        set(kind STATIC)
    elseif(ARG_MODULE)
        set(kind MODULE)
    endif()
    add_library(${name} ${kind} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        POSITION_INDEPENDENT_CODE ON)
    if(ARG_EXPORT_DEFINE)
        target_compile_definitions(${name} PRIVATE ${ARG_EXPORT_DEFINE})
    endif()
    if(NOT ARG_INCLUDE_DIRS)
        set(ARG_INCLUDE_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    target_include_directories(${name} PUBLIC ${ARG_INCLUDE_DIRS})
    if(ARG_DEPENDS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    endif()
    if(ARG_PRIVATE_DEPENDS)
        target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_DEPENDS})
    endif()
endfunction()

# qux_add_test(<name> SOURCES <files...> DEPENDS <targets...> LABELS <labels...>)
# A QtTest executable in bin/, registered with CTest, run on the offscreen platform.
function(qux_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPENDS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_DEPENDS})
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        LABELS "${ARG_LABELS}"
        TIMEOUT ${ARG_TIMEOUT}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUX_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# qux_add_layer(<target> FOLDER <folder> SOURCES <files...> [DEPENDS <targets...>])
# One layer of the plug-in as a static library. Its headers are included as "<folder>/x.h"
# through an include root of its own (build/layers/<folder>, holding a link to the folder), so
# a layer sees only the folders of the layers it links: an include of a higher layer from a
# lower one does not build.
function(qux_add_layer name)
    cmake_parse_arguments(ARG "" "FOLDER" "SOURCES;DEPENDS" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/layers/${ARG_FOLDER})
    file(MAKE_DIRECTORY ${root})
    if(NOT EXISTS ${root}/${ARG_FOLDER})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${ARG_FOLDER} ${root}/${ARG_FOLDER} SYMBOLIC)
    endif()
    qux_add_library(${name} STATIC
        SOURCES ${ARG_SOURCES}
        INCLUDE_DIRS ${root}
        DEPENDS ${ARG_DEPENDS})
endfunction()

# qux_translation_sources(<ts file> SOURCES <folders...>)
# Declares which folders hold the texts of a translation file. The test
# tst_translations_<name> runs lupdate over them into a copy of the file and fails when the
# copy differs: a text added to the code without a translation, or one left behind after it
# was removed. `cmake --build build --target update_translations` brings every file up to date
# (new texts then wait as type="unfinished" for their translation).
function(qux_translation_sources ts)
    cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
    get_filename_component(ts ${ts} ABSOLUTE)
    get_filename_component(name ${ts} NAME_WE)
    set(folders)
    foreach(folder ${ARG_SOURCES})
        get_filename_component(folder ${folder} ABSOLUTE)
        list(APPEND folders ${folder})
    endforeach()
    # A command line would split a list at its ";".
    list(JOIN folders "|" folders)
    set(arguments -DLUPDATE=$<TARGET_FILE:Qt5::lupdate> -DTS=${ts}
                  -DROOT=${CMAKE_SOURCE_DIR} "-DSOURCES=${folders}"
                  -DWORK=${CMAKE_BINARY_DIR}/translation-check)
    add_test(NAME tst_translations_${name}
             COMMAND ${CMAKE_COMMAND} ${arguments} -P ${QUX_CMAKE_DIR}/CheckTranslation.cmake)
    set_tests_properties(tst_translations_${name} PROPERTIES LABELS unit TIMEOUT 120)
    add_custom_target(update_translations_${name}
        COMMAND ${CMAKE_COMMAND} ${arguments} -DUPDATE=ON -P ${QUX_CMAKE_DIR}/CheckTranslation.cmake
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY QUX_TRANSLATION_UPDATES update_translations_${name})
endfunction()

# The target update_translations, over every file declared with qux_translation_sources; called
# once, after all folders are added.
function(qux_add_translation_update_target)
    get_property(updates GLOBAL PROPERTY QUX_TRANSLATION_UPDATES)
    add_custom_target(update_translations DEPENDS ${updates})
endfunction()
