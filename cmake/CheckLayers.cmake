# Checks the folder layers of src/ (run with cmake -P; the tests "layers.*" run it).
#
#   -DSRC=<dir>        the source tree to check (src/ of the repository, or a test fixture)
#   -DCHECK=layers     every file sits in a known folder, and no file includes a header of a
#                      higher layer
#   -DCHECK=qt         no rvcore file includes a Qt header
#   -DEXPECT=<file>    compare the findings with the lines of this file instead of failing on
#                      any (the checker's own test on a tree with planted faults)
#
# Layers, lowest first; a file may include headers of its own layer and of lower ones:
#   0 base   1 data   2 editors/common   3 editors/<category>   4 link, service, report
#   5 cli, sim (on top of the core; nothing else includes them), report/render (the report
#     drawn with QtGui, used by the command line and the GUI)
#   6 ui   7 every gui/ folder   8 shell
# rvcore is layers 0 to 4 and never includes Qt.

if(NOT SRC OR NOT IS_DIRECTORY "${SRC}")
    message(FATAL_ERROR "CheckLayers: give the source folder to check with -DSRC=<dir>")
endif()
get_filename_component(SRC "${SRC}" ABSOLUTE)
if(NOT CHECK MATCHES "^(layers|qt)$")
    message(FATAL_ERROR "CheckLayers: give the check to run with -DCHECK=layers or -DCHECK=qt")
endif()

# Includes that break the order on purpose: the radio data object builds, maps and stores the
# blocks of every category, so its own implementation files name the category headers. Each
# entry is "<file> <folder it may include>".
set(RV_LAYER_EXCEPTIONS
    "data/RadioData.cpp editors"
    "data/RadioData.cpp service"
    "data/MemoryMap.cpp editors"
    "data/MemoryMap.cpp service"
    "data/Document.cpp editors/radio")

# Sets out to the layer of a folder of src/ (as "editors/channel/gui"), or "" when the folder
# is not one of the layers.
function(rv_layer_of folder out)
    set(layer "")
    if(folder STREQUAL "base")
        set(layer 0)
    elseif(folder STREQUAL "data")
        set(layer 1)
    elseif(folder STREQUAL "editors/common")
        set(layer 2)
    elseif(folder MATCHES "^editors/[^/]+$")
        set(layer 3)
    elseif(folder MATCHES "^(link|service|report)$")
        set(layer 4)
    elseif(folder MATCHES "^(cli|sim|report/render)$")
        set(layer 5)
    elseif(folder STREQUAL "ui")
        set(layer 6)
    elseif(folder MATCHES "^(editors/[^/]+|link|service|report)/gui$")
        set(layer 7)
    elseif(folder STREQUAL "shell")
        set(layer 8)
    endif()
    set(${out} "${layer}" PARENT_SCOPE)
endfunction()

# True in out when the file may include a header of the folder as an exception.
function(rv_is_exception file folder out)
    set(result FALSE)
    foreach(entry ${RV_LAYER_EXCEPTIONS})
        string(REPLACE " " ";" parts "${entry}")
        list(GET parts 0 exceptFile)
        list(GET parts 1 exceptFolder)
        if(file STREQUAL exceptFile AND (folder STREQUAL exceptFolder OR
                                         folder MATCHES "^${exceptFolder}/"))
            set(result TRUE)
        endif()
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
list(SORT files)
set(findings)

foreach(file ${files})
    get_filename_component(folder "${file}" DIRECTORY)
    rv_layer_of("${folder}" layer)
    if(layer STREQUAL "")
        if(CHECK STREQUAL "layers")
            list(APPEND findings "${file} is in ${folder}, which is no layer: no library builds it")
        endif()
        continue()
    endif()

    file(STRINGS "${SRC}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
        if(CHECK STREQUAL "qt")
            if(layer LESS_EQUAL 4 AND line MATCHES "[<\"](Qt?[A-Z][A-Za-z]*)(/[^>\"]*)?[>\"]")
                list(APPEND findings "${file} includes the Qt header ${CMAKE_MATCH_1}${CMAKE_MATCH_2}: rvcore never includes Qt")
            endif()
            continue()
        endif()

        if(NOT line MATCHES "\"([^\"]+)\"")
            continue()
        endif()
        set(header "${CMAKE_MATCH_1}")
        if(EXISTS "${SRC}/${folder}/${header}" AND NOT header MATCHES "/")
            continue()  # a header beside the file
        endif()
        if(NOT EXISTS "${SRC}/${header}")
            continue()  # not a header of src/ (a system or generated one)
        endif()
        get_filename_component(headerFolder "${header}" DIRECTORY)
        rv_layer_of("${headerFolder}" headerLayer)
        if(headerLayer STREQUAL "" OR headerFolder STREQUAL folder)
            continue()  # a file outside the layers is reported on its own
        endif()
        rv_is_exception("${file}" "${headerFolder}" allowed)
        if(allowed)
            continue()
        endif()
        if(headerFolder MATCHES "^(cli|sim)$")
            list(APPEND findings "${file} includes ${header}: only ${headerFolder} itself includes ${headerFolder}")
        elseif(folder MATCHES "^(cli|sim)$" AND headerLayer GREATER 5)
            list(APPEND findings "${file} includes ${header}: ${folder} stands on the core and includes no GUI")
        elseif(headerLayer GREATER layer)
            list(APPEND findings "${file} includes ${header}: ${folder} is below ${headerFolder}")
        endif()
    endforeach()
endforeach()

if(DEFINED EXPECT)
    file(STRINGS "${EXPECT}" expected)
    list(SORT expected)
    list(SORT findings)
    if(NOT findings STREQUAL expected)
        string(REPLACE ";" "\n  " shownFound "${findings}")
        string(REPLACE ";" "\n  " shownExpected "${expected}")
        message(FATAL_ERROR "CheckLayers (${CHECK}) found:\n  ${shownFound}\nexpected:\n  ${shownExpected}")
    endif()
    list(LENGTH findings count)
    message(STATUS "CheckLayers (${CHECK}): the ${count} planted faults found, nothing else")
    return()
endif()

if(findings)
    string(REPLACE ";" "\n  " shown "${findings}")
    list(LENGTH findings count)
    if(CHECK STREQUAL "qt")
        set(advice "move the code into the category's gui/ folder, or take the Qt type out of it")
    else()
        set(advice "move the code to the layer it needs, or the header down to the layers that use it (CONTRIBUTING.md, Layout)")
    endif()
    message(FATAL_ERROR "src/ breaks its layers in ${count} place(s):\n  ${shown}\nTo mend: ${advice}.")
endif()
message(STATUS "CheckLayers (${CHECK}): src/ keeps its layers")
