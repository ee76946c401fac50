# Reads Model.dat (INI) and runs `rvcps-cli new` once per model ID and frequency range.
# Arguments: CLI (the rvcps-cli program), HOME (program directory), MODELDAT (the catalogue).
file(STRINGS ${MODELDAT} lines)
set(section "")
foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^\\[(.+)\\]$")
        set(section "${CMAKE_MATCH_1}")
    elseif(NOT section STREQUAL "Setting" AND line MATCHES "^[Ff][Rr][Ee][Qq][0-9]+[ \t]*=[ \t]*([0-9]+)[ \t]*,[ \t]*([0-9]+)")
        set(range "${CMAKE_MATCH_1}-${CMAKE_MATCH_2}")
        set(out "${HOME}/${section}${range}DefaultSet.dat")
        file(REMOVE "${out}")
        execute_process(COMMAND ${CLI} --home ${HOME} new --model ${section} --range ${range} -o ${out}
                        RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "rvcps-cli new failed for ${section} ${range}")
        endif()
    endif()
endforeach()
